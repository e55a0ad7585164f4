// Time stamps set aside in a temporary file while a writer needs them only
// at the end of its document (GeoJSON's coordTimes come after all the
// positions), so that memory stays flat for a track of any length.
#ifndef TRACKTOOLS_FORMATS_TIMESPOOL_H
#define TRACKTOOLS_FORMATS_TIMESPOOL_H

#include <cstdint>
#include <string>

#include "tracktools/io/inputfile.h"
#include "tracktools/io/outputfile.h"

namespace formats {

class TimeSpool {
  public:
    TimeSpool() = default;
    TimeSpool(const TimeSpool&) = delete;
    TimeSpool& operator=(const TimeSpool&) = delete;
    ~TimeSpool();

    // Makes the file in $TMPDIR, else /tmp; it has no name once open, so it
    // goes away with the process whatever happens.
    bool Open();
    bool Add(std::uint32_t time);
    // Ends adding; Next then gives the times from the first one.
    bool StartReading();
    bool Next(std::uint32_t& time);

    // "temporary file in <directory>: <the system's reason>" once anything
    // failed.
    std::string ErrorText() const;
    int Error() const { return error_; }

  private:
    bool Failed(int error);

    std::string directory_;
    int fd_ = -1;
    io::OutputFile out_;
    io::InputFile in_;
    int error_ = 0;
};

}  // namespace formats

#endif
