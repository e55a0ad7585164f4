// Helpers shared by the fuzz targets: a failed check that libFuzzer reports
// as a crash, doubles of any bit pattern, and an in-memory file with a name.
#ifndef TRACKTOOLS_FUZZ_FUZZ_SUPPORT_H
#define TRACKTOOLS_FUZZ_FUZZ_SUPPORT_H

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// A property that does not hold is a finding: print it and abort, so that
// libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

namespace fuzz {

// Reads the input front to back; past its end every value is zero.
class Bytes {
  public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}

    std::size_t left() const { return left_; }

    // Any bit pattern: NaNs, infinities and subnormals included.
    double Double() {
        std::uint64_t bits = 0;
        Take(&bits, sizeof bits);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    std::uint8_t Byte() {
        std::uint8_t value = 0;
        Take(&value, 1);
        return value;
    }
    // Copies up to `size` bytes into `out`, zero-filling what the input lacks.
    void Take(void* out, std::size_t size) {
        const std::size_t taken = size < left_ ? size : left_;
        std::memset(out, 0, size);
        if (taken > 0) {
            std::memcpy(out, data_, taken);
        }
        data_ += taken;
        left_ -= taken;
    }
    // The rest of the input.
    std::string Rest() {
        std::string rest(reinterpret_cast<const char*>(data_), left_);
        data_ += left_;
        left_ = 0;
        return rest;
    }

  private:
    const std::uint8_t* data_;
    std::size_t left_;
};

// A file in memory that can be opened by name (/proc/self/fd/N), so that the
// readers run on their real open and read calls.
class MemoryFile {
  public:
    MemoryFile() : fd_(::memfd_create("fuzz-input", 0)) { FUZZ_CHECK(fd_ >= 0); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Empties the file for a writer and returns its descriptor, at offset 0.
    int Empty() {
        FUZZ_CHECK(::ftruncate(fd_, 0) == 0);
        FUZZ_CHECK(::lseek(fd_, 0, SEEK_SET) == 0);
        return fd_;
    }
    // The name to open it by.
    std::string Name() const { return "/proc/self/fd/" + std::to_string(fd_); }

    // Replaces the contents; returns the name to open.
    std::string Hold(const std::uint8_t* data, std::size_t size) {
        FUZZ_CHECK(::ftruncate(fd_, 0) == 0);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t put = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            FUZZ_CHECK(put > 0);
            done += static_cast<std::size_t>(put);
        }
        return Name();
    }

  private:
    int fd_;
};

}  // namespace fuzz

#endif
