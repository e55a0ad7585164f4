#include "gplfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace gpl {
namespace {

constexpr std::size_t kBufferSize = 1 << 17;  // a whole number of pages, not of records

// Little-endian load and store. On a little-endian host they are plain
// copies; elsewhere the bytes are assembled one by one.
template <typename Word>
Word LoadLE(const unsigned char* bytes) {
    Word value = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(&value, bytes, sizeof value);
#else
    for (std::size_t i = sizeof(Word); i-- > 0;) {
        value = static_cast<Word>((value << 8) | bytes[i]);
    }
#endif
    return value;
}

template <typename Word>
void StoreLE(Word value, unsigned char* bytes) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(bytes, &value, sizeof value);
#else
    for (std::size_t i = 0; i < sizeof(Word); ++i) {
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    }
#endif
}

double LoadDouble(const unsigned char* bytes) {
    static_assert(sizeof(double) == 8, "records hold IEEE 754 binary64 values");
    const std::uint64_t bits = LoadLE<std::uint64_t>(bytes);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void StoreDouble(double value, unsigned char* bytes) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    StoreLE(bits, bytes);
}

}  // namespace

void DecodeRecord(const unsigned char* bytes, GPL_Data_Point& point) {
    point.Tag = LoadLE<std::uint32_t>(bytes + 0);
    point.Reserved1 = LoadLE<std::uint32_t>(bytes + 4);
    point.Latitude = LoadDouble(bytes + 8);
    point.Longitude = LoadDouble(bytes + 16);
    point.Altitude = LoadDouble(bytes + 24);
    point.Heading = LoadDouble(bytes + 32);
    point.Speed = LoadDouble(bytes + 40);
    point.Time = LoadLE<std::uint32_t>(bytes + 48);
    point.Reserved2 = LoadLE<std::uint32_t>(bytes + 52);
}

void EncodeRecord(const GPL_Data_Point& point, unsigned char* bytes) {
    StoreLE(point.Tag, bytes + 0);
    StoreLE(point.Reserved1, bytes + 4);
    StoreDouble(point.Latitude, bytes + 8);
    StoreDouble(point.Longitude, bytes + 16);
    StoreDouble(point.Altitude, bytes + 24);
    StoreDouble(point.Heading, bytes + 32);
    StoreDouble(point.Speed, bytes + 40);
    StoreLE(point.Time, bytes + 48);
    StoreLE(point.Reserved2, bytes + 52);
}

InputFile::~InputFile() {
    Close();
}

bool InputFile::Open(const std::string& name) {
    Close();
    error_ = 0;
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        error_ = S_ISDIR(info.st_mode) ? EISDIR : errno;
        ::close(fd);
        return false;
    }
    fd_ = fd;
    device_ = info.st_dev;
    inode_ = info.st_ino;
    at_end_ = false;
    partial_ = 0;
    begin_ = end_ = 0;
    if (!buffer_) {
        buffer_.reset(new unsigned char[kBufferSize]);
    }
    return true;
}

bool InputFile::Fill() {
    if (fd_ < 0) {
        return false;
    }
    if (begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.get() + end_, kBufferSize - end_);
        if (got > 0) {
            end_ += static_cast<std::size_t>(got);
            return true;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        // A read error ends the input as its end does, but is remembered.
        if (got < 0) {
            error_ = errno;
        }
        return false;
    }
}

std::size_t InputFile::ReadBytes(unsigned char* to, std::size_t size) {
    if (begin_ == end_ && (at_end_ || !Fill())) {
        at_end_ = true;
        return 0;
    }
    const std::size_t taken = size < end_ - begin_ ? size : end_ - begin_;
    std::memcpy(to, buffer_.get() + begin_, taken);
    begin_ += taken;
    return taken;
}

std::size_t InputFile::Peek(const unsigned char** bytes) {
    if (begin_ == end_ && !at_end_ && !Fill()) {
        at_end_ = true;
    }
    *bytes = buffer_ ? buffer_.get() + begin_ : nullptr;
    return end_ - begin_;
}

bool InputFile::Rewind() {
    if (fd_ < 0 || ::lseek(fd_, 0, SEEK_SET) != 0) {
        return false;
    }
    at_end_ = false;
    partial_ = 0;
    begin_ = end_ = 0;
    return true;
}

bool InputFile::ReadRecord(GPL_Data_Point& point) {
    while (end_ - begin_ < kRecordSize) {
        if (at_end_ || !Fill()) {
            at_end_ = true;
            partial_ = end_ - begin_;
            begin_ = end_;  // the bytes of a partial record are not used
            return false;
        }
    }
    DecodeRecord(buffer_.get() + begin_, point);
    begin_ += kRecordSize;
    return true;
}

void InputFile::ReadLine(char* buffer, std::size_t size) {
    std::size_t length = 0;
    for (;;) {
        if (begin_ == end_ && (at_end_ || !Fill())) {
            at_end_ = true;
            break;
        }
        const unsigned char* start = buffer_.get() + begin_;
        const std::size_t available = end_ - begin_;
        const void* newline = std::memchr(start, '\n', available);
        const std::size_t taken =
            newline != nullptr
                ? static_cast<std::size_t>(static_cast<const unsigned char*>(newline) - start)
                : available;
        // Characters beyond the buffer are read and dropped with the rest of the line.
        const std::size_t room = size > 0 ? size - 1 - length : 0;
        const std::size_t kept = taken < room ? taken : room;
        std::memcpy(buffer + length, start, kept);
        length += kept;
        if (newline != nullptr) {
            begin_ += taken + 1;
            break;
        }
        begin_ = end_;
    }
    if (size > 0) {
        buffer[length] = '\0';
    }
}

void InputFile::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

OutputFile::~OutputFile() {
    Close();
}

namespace {

bool SameFile(const struct stat& info, int descriptor) {
    struct stat other;
    return descriptor >= 0 && ::fstat(descriptor, &other) == 0 && other.st_dev == info.st_dev &&
           other.st_ino == info.st_ino;
}

}  // namespace

bool OutputFile::Open(const std::string& name, const InputFile& input, int guarded) {
    Close();
    // Not O_TRUNC: the file is cut only once it is known not to be the input.
    error_ = 0;
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0664);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    struct stat info;
    const bool known = ::fstat(fd, &info) == 0;
    if (known && input.IsOpen() && info.st_dev == input.Device() && info.st_ino == input.Inode()) {
        error_ = kIsTheInput;
    } else if (known && !S_ISCHR(info.st_mode) && SameFile(info, guarded)) {
        error_ = kIsGuarded;
    } else if (!known || (S_ISREG(info.st_mode) && ::ftruncate(fd, 0) != 0)) {
        error_ = errno;
    }
    if (error_ != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    owned_ = true;
    failed_ = false;
    used_ = 0;
    if (!buffer_) {
        buffer_.reset(new unsigned char[kBufferSize]);
    }
    return true;
}

void OutputFile::Attach(int fd) {
    Close();
    fd_ = fd;
    owned_ = false;
    error_ = 0;
    failed_ = false;
    used_ = 0;
    if (!buffer_) {
        buffer_.reset(new unsigned char[kBufferSize]);
    }
}

bool OutputFile::WriteRecord(const GPL_Data_Point& point) {
    if (failed_ || fd_ < 0) {
        return false;
    }
    if (kBufferSize - used_ < kRecordSize && !Flush()) {
        return false;
    }
    EncodeRecord(point, buffer_.get() + used_);
    used_ += kRecordSize;
    return true;
}

bool OutputFile::WriteBytes(const void* bytes, std::size_t size) {
    const auto* from = static_cast<const unsigned char*>(bytes);
    while (size > 0) {
        if (failed_ || fd_ < 0 || (used_ == kBufferSize && !Flush())) {
            return false;
        }
        const std::size_t room = kBufferSize - used_;
        const std::size_t taken = size < room ? size : room;
        std::memcpy(buffer_.get() + used_, from, taken);
        used_ += taken;
        from += taken;
        size -= taken;
    }
    return !failed_;
}

bool OutputFile::Flush() {
    if (failed_ || fd_ < 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < used_) {
        const ssize_t put = ::write(fd_, buffer_.get() + done, used_ - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            error_ = put < 0 ? errno : ENOSPC;
            failed_ = true;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    used_ = 0;
    return true;
}

bool OutputFile::Close() {
    if (fd_ < 0) {
        return !failed_;
    }
    const bool flushed = Flush();
    const bool closed = !owned_ || ::close(fd_) == 0;
    if (!closed && error_ == 0) {
        error_ = errno;
    }
    fd_ = -1;
    used_ = 0;
    if (!flushed || !closed) {
        failed_ = true;
    }
    return !failed_;
}

}  // namespace gpl
