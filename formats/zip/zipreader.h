// zip archives as a format reader, through libzip: the one track file the
// archive holds (of KMZ, the first KML file, beside which Google Earth keeps
// the pictures it uses), read by its format's reader as it is unpacked. An
// archive of several track files is refused with the advice to unpack it,
// as one of none. libzip needs the whole archive at hand: standard input is
// refused.
//
// Errors: what libzip says of an archive it cannot open ("Not a zip
// archive", "Zip archive inconsistent") or of a member it cannot unpack
// ("CRC error").
#ifndef TRACKTOOLS_FORMATS_ZIP_ZIPREADER_H
#define TRACKTOOLS_FORMATS_ZIP_ZIPREADER_H

#include <memory>

#include "tracktools/formats/packed/packedreader.h"

namespace formats {

class ZipSource;

class ZipReader : public PackedReader {
  public:
    explicit ZipReader(std::unique_ptr<io::InputFile> file);

  private:
    bool UnpackFailed(ReadError& error) const override;

    const ZipSource* source_ = nullptr;  // owned by the contents' file
};

}  // namespace formats

#endif
