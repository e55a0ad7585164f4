// The GPL track file: a headerless run of 56-byte little-endian records, read
// and written through buffers so that a record costs no system call.
#ifndef TRACKTOOLS_TRACK_GPLFILE_H
#define TRACKTOOLS_TRACK_GPLFILE_H

#include <cstddef>
#include <memory>
#include <string>

#include "gpldata.h"

namespace gpl {

constexpr std::size_t kRecordSize = 56;

// Field-by-field codec of one record; any byte content is accepted.
void DecodeRecord(const unsigned char* bytes, GPL_Data_Point& point);
void EncodeRecord(const GPL_Data_Point& point, unsigned char* bytes);

// A file opened for reading, records or text lines.
class InputFile {
  public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // Fails for a file that cannot be opened and for a directory (Error()
    // then tells why).
    bool Open(const std::string& name);
    // Reads the next 56 bytes into the point. False when fewer arrive (end of
    // file, a partial record, a read error); the point is then unchanged and
    // AtEnd() is true.
    bool ReadRecord(GPL_Data_Point& point);
    // Reads the next line into a zero-terminated buffer of `size` bytes: at
    // most size - 1 characters, the newline taken but not stored. The rest of
    // a longer line is read and dropped. Meeting the end of the input sets
    // AtEnd(); at the end already, the line is empty.
    void ReadLine(char* buffer, std::size_t size);
    // Up to `size` bytes of the file as they come, for readers of other
    // formats; 0 at the end of the file or on a read error (Failed()).
    std::size_t ReadBytes(unsigned char* to, std::size_t size);
    // The bytes at the start of the file, without taking them: one read when
    // nothing has been read yet. Returns how many there are (0 at the end or
    // on a read error) and points `bytes` at them.
    std::size_t Peek(const unsigned char** bytes);
    // Goes back to the start of the file, for a reader that needs a second
    // pass. False, with nothing changed, when the file cannot seek (a pipe);
    // errno then tells why.
    bool Rewind();
    // True once a read has come up short.
    bool AtEnd() const { return at_end_; }
    // The bytes of a partial record that ReadRecord met at the end and
    // dropped; 0 when the file held whole records only.
    std::size_t PartialBytes() const { return partial_; }
    // True once a read failed for another reason than the end of the file;
    // the input then counts as ended.
    bool Failed() const { return error_ != 0; }
    // The system's error number of the failed open or read, 0 when none.
    int Error() const { return error_; }
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    // Identity of the open file, to refuse writing over it.
    unsigned long long Device() const { return device_; }
    unsigned long long Inode() const { return inode_; }

  private:
    // Refills the buffer keeping unread bytes; false when nothing more came.
    bool Fill();

    int fd_ = -1;
    bool at_end_ = false;
    int error_ = 0;
    std::size_t partial_ = 0;
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

// A file opened for writing records; created with mode 0664 (before the
// umask) and cut to length 0.
class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Refuses the file that `input` has open (same device and inode), and
    // the file open on descriptor `guarded` unless that is a character
    // device, leaving both untouched.
    bool Open(const std::string& name, const InputFile& input, int guarded = -1);
    // Writes into `fd`, opened elsewhere and left to its owner: Close()
    // writes what is buffered but does not close it.
    void Attach(int fd);
    // Error() of an output refused because it is the input, or the guarded file.
    static constexpr int kIsTheInput = -1;
    static constexpr int kIsGuarded = -2;
    // The system's error number of the failed open or write, kIsTheInput,
    // kIsGuarded, or 0 when nothing failed.
    int Error() const { return error_; }
    // False once any write has failed.
    bool WriteRecord(const GPL_Data_Point& point);
    // Bytes as they are, for writers of other formats; false once any write
    // has failed.
    bool WriteBytes(const void* bytes, std::size_t size);
    bool Flush();
    // Writes what is buffered and closes; false if anything was lost.
    bool Close();
    bool IsOpen() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
    bool owned_ = true;  // false for a descriptor given to Attach
    bool failed_ = false;
    int error_ = 0;
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t used_ = 0;
};

}  // namespace gpl

#endif
