// gzip files as a format reader: the track file inside, inflated through
// zlib as its reader asks for bytes (a file of several gzip members is their
// contents one after another). Its format is the one the name without ".gz"
// says, else the one its contents look like.
//
// Errors, with the byte of the gzip file where they lie: data that zlib
// finds damaged (its own words: "invalid block type", "incorrect data
// check"), a file cut short, and bytes after the last member that are no
// gzip member.
#ifndef TRACKTOOLS_FORMATS_GZIP_GZIPREADER_H
#define TRACKTOOLS_FORMATS_GZIP_GZIPREADER_H

#include <memory>

#include "tracktools/formats/packed/packedreader.h"

namespace formats {

class GzipSource;

class GzipReader : public PackedReader {
  public:
    explicit GzipReader(std::unique_ptr<io::InputFile> file);

  private:
    bool UnpackFailed(ReadError& error) const override;

    const GzipSource* source_ = nullptr;  // owned by the contents' file
};

}  // namespace formats

#endif
