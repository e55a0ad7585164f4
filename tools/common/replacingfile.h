// The one way the programs open an output file: it replaces its name only
// when it is complete. The data goes to a temporary file in the same
// directory, renamed over the name on success and removed on failure, so
// that a file that had the name is left exactly as it was when anything
// goes wrong.
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

    // Opens `name` for writing; "-" is standard output. Refused (with
    // Error() kIsTheInput or kIsStandardOutput) when the name is the input,
    // known by its device and inode numbers, or the file or pipe that
    // standard output goes to. A name that is a character device or a pipe
    // (/dev/null, /dev/full, a FIFO) is written directly: there is nothing
    // to replace. Otherwise a new temporary file is made beside the file a
    // symbolic link names: with the mode of the file it replaces, or 0664
    // before the umask for a new file. Where no temporary file can be made
    // (a directory we may not write in) an existing file that may be written
    // is cut and written in place. False, with Error() set, when nothing
    // could be opened.
    bool Open(const std::string& name, unsigned long long input_device,
              unsigned long long input_inode);
    // The same for an input known by an open descriptor (-1: none).
    bool Open(const std::string& name, int input_fd = -1);
    int Descriptor() const { return fd_; }
    // True for "-": the data goes to standard output.
    bool ToStandardOutput() const { return standard_output_; }

    // Closes the file but keeps the temporary file for a later Commit (or
    // its removal), so that a program writing many files need not hold a
    // descriptor for each until all are done. False, with Error() set, when
    // closing failed; the temporary file is then removed.
    bool Close();
    // Closes the file (unless Close did) and renames the temporary file over
    // the name. False, with Error() set, when closing or renaming failed;
    // the temporary file is then removed.
    bool Commit();
    // Closes and removes the temporary file (nothing is renamed).
    void Abandon();

    // The system's error number of the failure, kIsTheInput,
    // kIsStandardOutput, or 0.
    int Error() const { return error_; }
    static constexpr int kIsTheInput = -1;
    static constexpr int kIsStandardOutput = -2;

  private:
    bool OpenTemporary(bool replaces, unsigned mode);

    int fd_ = -1;
    int error_ = 0;
    bool standard_output_ = false;
    bool closed_ = false;    // Close succeeded; Commit only renames
    std::string target_;     // the name the file gets on success
    std::string temporary_;  // empty when writing directly to the name
};

}  // namespace tools

#endif
