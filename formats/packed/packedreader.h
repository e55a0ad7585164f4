// What the readers of compressed files and archives share: the track file
// inside is read by its own format's reader, from the bytes they unpack as
// it asks for them, so memory stays the same for a file of any size.
#ifndef TRACKTOOLS_FORMATS_PACKED_PACKEDREADER_H
#define TRACKTOOLS_FORMATS_PACKED_PACKEDREADER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tracktools/formats/reader.h"
#include "tracktools/io/inputfile.h"

namespace formats {

class PackedReader : public Reader {
  public:
    bool Next(track::Point& point) override;
    std::vector<Tally> Tallies() const override;
    Format LooksLike() const override;
    Sport RecordedSport() const override;

  protected:
    PackedReader(Format format, std::unique_ptr<io::InputFile> packed);

    io::InputFile& Packed() { return *packed_; }
    // Reads `source` as the file `name` (its extension tells the format,
    // else its first bytes do, else it is GPL records). A format the suite
    // cannot read, or another packed file, is refused.
    void Unpack(std::unique_ptr<io::ByteSource> source, const std::string& name);
    // Why unpacking failed and where in the packed file; false while it has not.
    virtual bool UnpackFailed(ReadError& error) const = 0;
    std::vector<Remark> FileRemarks() const override;

  private:
    std::unique_ptr<io::InputFile> packed_;  // before inner_: its source reads it
    std::unique_ptr<Reader> inner_;
    bool started_ = false;
    std::uint64_t points_ = 0;
};

// `name` without its last extension when that is `extension` (any case).
std::string WithoutExtension(const std::string& name, const char* extension);

}  // namespace formats

#endif
