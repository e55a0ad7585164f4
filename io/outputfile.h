// A descriptor written through one buffer, so that a record or a line costs
// no system call.
#ifndef TRACKTOOLS_IO_OUTPUTFILE_H
#define TRACKTOOLS_IO_OUTPUTFILE_H

#include <cstddef>
#include <memory>

namespace io {

class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Writes into `fd`, opened elsewhere and left to its owner: Close()
    // writes what is buffered but does not close it.
    void Attach(int fd);
    // Bytes as they are; false once any write has failed.
    bool WriteBytes(const void* bytes, std::size_t size);
    // Room for `size` bytes (size <= kBufferSize) in the buffer, to be
    // filled in place and then taken with Used(size); null once any write
    // has failed.
    unsigned char* Room(std::size_t size) {
        return used_ + size <= limit_ ? buffer_.get() + used_ : RoomAfterFlush(size);
    }
    void Used(std::size_t size) { used_ += size; }
    static constexpr std::size_t kBufferSize = 1 << 17;
    bool Flush();
    // Writes what is buffered; false if anything was lost.
    bool Close();
    bool IsOpen() const { return fd_ >= 0; }
    // The system's error number of the failed write, 0 when nothing failed.
    int Error() const { return error_; }

  private:
    unsigned char* RoomAfterFlush(std::size_t size);

    int fd_ = -1;
    bool failed_ = false;
    int error_ = 0;
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t used_ = 0;
    // The bytes of the buffer that may be used: none once a write failed or
    // the file is closed, so that Room tests one number.
    std::size_t limit_ = 0;
};

}  // namespace io

#endif
