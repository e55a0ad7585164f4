// GPL track files as a format reader: the records as they are.
#ifndef TRACKTOOLS_FORMATS_GPLREADER_H
#define TRACKTOOLS_FORMATS_GPLREADER_H

#include <memory>

#include "gplfile.h"
#include "reader.h"

namespace formats {

class GplReader : public Reader {
  public:
    // `file` is open; the reader reads it from where it stands.
    explicit GplReader(std::unique_ptr<gpl::InputFile> file);

    bool Next(GPL_Data_Point& point) override;
    std::uint64_t IgnoredBytes() const override { return file_->PartialBytes(); }
    // What the start of the file looks like (see SniffText): records have no
    // mark of their own, so anything but kUnknown is text read as records.
    Format LooksLike() const { return looks_like_; }

  private:
    std::unique_ptr<gpl::InputFile> file_;
    Format looks_like_ = Format::kUnknown;
};

}  // namespace formats

#endif
