// Text set aside in a temporary file and copied into an output later: the
// parts of a document that must come after others that may yet arrive
// (GPX's routes and tracks after every waypoint), in constant memory.
#ifndef TRACKTOOLS_FORMATS_TEXTSPOOL_H
#define TRACKTOOLS_FORMATS_TEXTSPOOL_H

#include <string>

#include "tracktools/io/outputfile.h"

namespace formats {

class TextSpool {
  public:
    TextSpool() = default;
    TextSpool(const TextSpool&) = delete;
    TextSpool& operator=(const TextSpool&) = delete;
    ~TextSpool();

    // The file to write into, made in $TMPDIR (else /tmp) on first use
    // without a name; null when it cannot be made (see ErrorText).
    io::OutputFile* File();
    bool Used() const { return fd_ >= 0; }
    // Appends all that was written to `output`; false when the temporary
    // file failed (see ErrorText), or `output` did.
    bool CopyTo(io::OutputFile& output);
    // "temporary file in <directory>: <the system's reason>".
    std::string ErrorText() const;
    int Error() const { return error_; }

  private:
    std::string directory_;
    int fd_ = -1;
    io::OutputFile file_;
    int error_ = 0;
};

}  // namespace formats

#endif
