// GPL track files as a format writer: every point as its 56-byte record
// (see track::ToRecord), the fields nobody changed as they were read. A
// point without a position is left out; what a record cannot hold (sensor
// values, fractions of a second, segment breaks) is counted.
#ifndef TRACKTOOLS_FORMATS_GPLWRITER_H
#define TRACKTOOLS_FORMATS_GPLWRITER_H

#include <vector>

#include "tracktools/formats/writer.h"
#include "tracktools/formats/writing.h"

namespace formats {

class GplWriter : public Writer {
  public:
    GplWriter(int fd, const WriterOptions& options);

    bool Write(const track::Point& point) override;
    bool Finish() override { return Close(); }
    std::vector<Tally> Tallies() const override;

  private:
    // A point without a position, or one that found no room because the
    // output failed.
    [[gnu::noinline]] bool LeftOut(bool room);
    [[gnu::noinline]] void CountTime(track::Instant time);

    Breaks breaks_;
    Losses losses_;
    KindLosses kinds_;
    std::uint64_t without_position_ = 0;
    std::uint64_t time_out_of_range_ = 0;
    std::uint64_t fractions_lost_ = 0;
};

}  // namespace formats

#endif
