// GPL track files as a format reader: each record as a point that keeps
// its record (see track::FromRecord). One track of one segment.
#ifndef TRACKTOOLS_FORMATS_GPLREADER_H
#define TRACKTOOLS_FORMATS_GPLREADER_H

#include <memory>

#include "tracktools/formats/reader.h"
#include "tracktools/io/inputfile.h"

namespace formats {

class GplReader : public Reader {
  public:
    // `file` is open; the reader reads it from where it stands.
    explicit GplReader(std::unique_ptr<io::InputFile> file);

    bool Next(track::Point& point) override;
    bool ReadsRecords() const override { return true; }
    bool NextRecord(GPL_Data_Point& record) override;
    std::uint64_t IgnoredBytes() const override { return partial_; }
    Format LooksLike() const override { return looks_like_; }

  private:
    std::unique_ptr<io::InputFile> file_;
    Format looks_like_;
    std::size_t partial_ = 0;
    bool first_ = true;
};

}  // namespace formats

#endif
