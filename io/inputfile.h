// A file read through one buffer, so that a record or a line costs no system
// call, and the readers of every format can parse the bytes where they lie.
#ifndef TRACKTOOLS_IO_INPUTFILE_H
#define TRACKTOOLS_IO_INPUTFILE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace io {

// Bytes that come from elsewhere than a descriptor: the contents of a
// compressed file or of an archive's member, made as they are read.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes; 0 at the end; -1 on an error, with its errno in
    // `error`.
    virtual long Read(unsigned char* to, std::size_t size, int& error) = 0;
    // Back to the first byte; false when that cannot be done.
    virtual bool Rewind() = 0;
    virtual bool CanRewind() const = 0;
};

class InputFile {
  public:
    // Bytes the buffer holds: a whole number of pages. A reader that needs
    // a run of bytes together (a record, a line) gets at most this many.
    static constexpr std::size_t kBufferSize = 1 << 17;

    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // Fails for a file that cannot be opened and for a directory (Error()
    // then tells why).
    bool Open(const std::string& name);
    // Reads standard input, which Close() leaves open.
    bool OpenStandardInput();
    // Reads the bytes `source` makes, as the contents of the file whose
    // identity is given.
    void OpenSource(std::unique_ptr<ByteSource> source, unsigned long long device,
                    unsigned long long inode);
    // The name given to Open; empty for standard input and a source.
    const std::string& Name() const { return name_; }

    // The unread bytes in the buffer; Size() of them from Data().
    const unsigned char* Data() const { return buffer_.get() + begin_; }
    std::size_t Size() const { return end_ - begin_; }
    // Takes `count` of the unread bytes (no more than Size()).
    void Skip(std::size_t count) {
        begin_ += count;
        offset_ += count;
    }
    // Reads more behind the unread bytes, moving them to the front of the
    // buffer first. False when nothing more came: the end of the file, a
    // read error (Failed()), or a full buffer. AtEnd() tells the first two.
    bool More();
    // At least `count` unread bytes (count <= kBufferSize), reading as
    // needed; false when the file ends first (Size() then holds the rest).
    bool Want(std::size_t count) { return Size() >= count || WantMore(count); }

    // Up to `size` bytes of the file as they come; 0 at the end of the file
    // or on a read error (Failed()).
    std::size_t ReadBytes(unsigned char* to, std::size_t size);
    // Reads the next line into a zero-terminated buffer of `size` bytes: at
    // most size - 1 characters, the newline taken but not stored. The rest of
    // a longer line is read and dropped. Meeting the end of the input sets
    // AtEnd(); at the end already, the line is empty.
    void ReadLine(char* buffer, std::size_t size);
    // The bytes at the start of the file, without taking them: one read when
    // nothing has been read yet. Returns how many there are (0 at the end or
    // on a read error) and points `bytes` at them.
    std::size_t Peek(const unsigned char** bytes);
    // Goes back to the start of the file, for a reader that needs a second
    // pass. False, with nothing changed, when the file cannot seek (a pipe);
    // errno then tells why.
    bool Rewind();
    // True when Rewind can work: the file is a regular file, not a pipe.
    bool CanRewind() const { return source_ ? source_->CanRewind() : regular_; }
    // Bytes taken from the start of the file so far.
    std::uint64_t Offset() const { return offset_; }

    // True once a read has come up short.
    bool AtEnd() const { return at_end_; }
    // True once a read failed for another reason than the end of the file;
    // the input then counts as ended.
    bool Failed() const { return error_ != 0; }
    // The system's error number of the failed open or read, 0 when none.
    int Error() const { return error_; }
    void Close();
    bool IsOpen() const { return fd_ >= 0 || source_ != nullptr; }
    // Identity of the open file, to refuse writing over it.
    unsigned long long Device() const { return device_; }
    unsigned long long Inode() const { return inode_; }

  private:
    bool Adopt(int fd, bool owned);
    bool WantMore(std::size_t count);
    // A read of the descriptor or the source, EINTR retried; -1 sets error_.
    long ReadSome(unsigned char* to, std::size_t size);

    std::unique_ptr<ByteSource> source_;
    std::string name_;
    int fd_ = -1;
    bool owned_ = true;
    bool regular_ = false;
    bool at_end_ = false;
    int error_ = 0;
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::uint64_t offset_ = 0;
};

}  // namespace io

#endif
