// GPL track files as a format reader: each record as a point that carries
// its record (see track::FromRecord). One track of one segment.
#ifndef TRACKTOOLS_FORMATS_GPLREADER_H
#define TRACKTOOLS_FORMATS_GPLREADER_H

#include <memory>
#include <vector>

#include "tracktools/formats/reader.h"
#include "tracktools/io/inputfile.h"

namespace formats {

class GplReader : public Reader {
  public:
    // `file` is open; the reader reads it from where it stands.
    explicit GplReader(std::unique_ptr<io::InputFile> file);

    bool Next(track::Point& point) override;

    Format LooksLike() const override { return looks_like_; }

  private:
    std::vector<Remark> FileRemarks() const override;
    // At the end of the file or after a failed read: false.
    [[gnu::noinline]] bool Ended();

    std::unique_ptr<io::InputFile> file_;
    Format looks_like_;
    std::size_t partial_ = 0;
    bool first_ = true;
};

}  // namespace formats

#endif
