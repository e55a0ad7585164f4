// An output file that replaces its name only when it is complete: the data
// goes to a temporary file in the same directory, renamed over the name on
// success and removed on failure, so that a file that had the name is left
// exactly as it was when anything goes wrong.
#ifndef TRACKTOOLS_TOOLS_COMMON_REPLACINGFILE_H
#define TRACKTOOLS_TOOLS_COMMON_REPLACINGFILE_H

#include <string>

namespace tools {

class ReplacingFile {
  public:
    ReplacingFile() = default;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    // Removes the temporary file unless Commit() succeeded.
    ~ReplacingFile();

    // Opens `name` for writing. Refused (with Error() kIsTheInput or
    // kIsStandardOutput) when the name is the file open on `input_fd`, or the
    // file or pipe that standard output goes to. A name that is a character
    // device or a pipe (/dev/null, /dev/full, a FIFO) is written directly:
    // there is nothing to replace. Otherwise a new temporary file is made
    // beside the file a symbolic link names, with mode 0664 before the
    // umask. False, with Error() set, when nothing could be opened.
    bool Open(const std::string& name, int input_fd = -1);
    // The same, with the input known by its device and inode numbers.
    bool Open(const std::string& name, unsigned long long input_device,
              unsigned long long input_inode);
    int Descriptor() const { return fd_; }

    // Closes the file and renames the temporary file over the name. False,
    // with Error() set, when closing or renaming failed; the temporary file
    // is then removed.
    bool Commit();
    // Closes and removes the temporary file (nothing is renamed).
    void Abandon();

    // The system's error number of the failure, kIsTheInput,
    // kIsStandardOutput, or 0.
    int Error() const { return error_; }
    static constexpr int kIsTheInput = -1;
    static constexpr int kIsStandardOutput = -2;

  private:
    int fd_ = -1;
    int error_ = 0;
    std::string target_;     // the name the file gets on success
    std::string temporary_;  // empty when writing directly to the name
};

}  // namespace tools

#endif
