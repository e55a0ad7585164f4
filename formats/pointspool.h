// Points set aside in a temporary file while a program needs them once
// more at the end (GeoJSON's times and sensor arrays come after all the
// positions; trackinfo's page is drawn at the scale the whole track gives),
// so that memory stays flat for a track of any length and an input is read
// only once. Every value and mark of a point is kept, and its kind, but its
// track name, texts and record.
#ifndef TRACKTOOLS_FORMATS_POINTSPOOL_H
#define TRACKTOOLS_FORMATS_POINTSPOOL_H

#include <cstdint>
#include <string>

#include "tracktools/io/inputfile.h"
#include "tracktools/io/outputfile.h"
#include "tracktools/track/point.h"

namespace formats {

class PointSpool {
  public:
    PointSpool() = default;
    PointSpool(const PointSpool&) = delete;
    PointSpool& operator=(const PointSpool&) = delete;
    ~PointSpool();

    // Makes the file in $TMPDIR, else /tmp; it has no name once open, so it
    // goes away with the process whatever happens.
    bool Open();
    bool Add(const track::Point& point);
    // Ends adding; Next then gives the points from the first one, and may
    // be started again.
    bool StartReading();
    bool Next(track::Point& point);
    std::uint64_t Size() const { return added_; }

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
    std::uint64_t added_ = 0;
    int error_ = 0;
};

}  // namespace formats

#endif
