// Points set aside in a temporary file while a program needs them once
// more at the end (GeoJSON's times and sensor arrays come after all the
// positions; trackinfo's page is drawn at the scale the whole track gives),
// so that memory stays flat for a track of any length and an input is read
// only once. Every value, mark and text of a point is kept, its kind and
// track name too; its GPL record is not.
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
    bool IsOpen() const { return fd_ >= 0; }
    bool Add(const track::Point& point);
    // Ends adding; Next then gives the points from the first one, and may
    // be started again.
    bool StartReading();
    bool Next(track::Point& point);
    // Forgets every point, for the next run of points to set aside (one
    // route after another); adding starts again.
    bool Restart();
    std::uint64_t Size() const { return added_; }

    // "temporary file in <directory>: <the system's reason>" once anything
    // failed.
    std::string ErrorText() const;
    int Error() const { return error_; }

  private:
    bool Failed(int error);
    // The next `size` bytes of the file into texts_.
    bool ReadTexts(std::size_t size);

    std::string directory_;
    int fd_ = -1;
    io::OutputFile out_;
    io::InputFile in_;
    std::uint64_t added_ = 0;
    int error_ = 0;
    // The track name and texts of the point read last, as stored: their
    // buffer stays for the next point, so that texts cost no allocation
    // once it is large enough.
    std::string texts_;
};

}  // namespace formats

#endif
