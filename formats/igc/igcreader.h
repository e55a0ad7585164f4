// IGC flight logs (gliders, paragliders, hang gliders) as a format reader,
// line by line in constant memory.
//
// The date is the `HFDTE` header, "HFDTEDDMMYY" or "HFDTEDATE:DDMMYY,NN"
// (years 80 to 99 are 1980 to 1999, the others 2000 on). Each B record
// "BHHMMSSDDMMmmmNDDDMMmmmEVPPPPPGGGGG" is a point: the time of the date
// (a time earlier than the one before rolls on to the next day), the
// position in degrees and minutes with three decimals, and the GNSS
// altitude as the elevation when the fix is valid (A; V is a fix without
// one). Pressure altitudes are not kept, only counted. Without a date
// before them, points have no time. A B record that cannot be read is left
// out and counted; every other record (the task, events, extensions) is
// passed over.
#ifndef TRACKTOOLS_FORMATS_IGC_IGCREADER_H
#define TRACKTOOLS_FORMATS_IGC_IGCREADER_H

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "tracktools/formats/reader.h"
#include "tracktools/io/inputfile.h"

namespace formats {

class IgcReader : public Reader {
  public:
    explicit IgcReader(std::unique_ptr<io::InputFile> file);

    bool Next(track::Point& point) override;
    std::vector<Tally> Tallies() const override;

  private:
    void Header(std::string_view line);
    bool Fix(std::string_view line, track::Point& point);

    std::unique_ptr<io::InputFile> file_;
    bool dated_ = false;
    std::int64_t day_ = 0;    // seconds of the day's midnight
    std::int64_t last_ = -1;  // seconds of the day of the fix before
    std::uint32_t count_ = 0;
    std::uint64_t unreadable_ = 0;
    std::uint64_t without_fix_ = 0;
    std::uint64_t undated_ = 0;
    std::uint64_t pressure_ = 0;
};

}  // namespace formats

#endif
