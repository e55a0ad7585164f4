// Temporary directories, file bytes and GPL records for tests.
#ifndef TRACKTOOLS_TESTS_FILES_H
#define TRACKTOOLS_TESTS_FILES_H

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tracktools/track/gpldata.h"

namespace testing_support {

// A fresh directory under $TMPDIR (or /tmp), removed with its contents.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// The names in a directory, without "." and "..".
std::set<std::string> FileNames(const std::string& directory);
// Permission bits of a file (st_mode & 07777).
unsigned FileMode(const std::string& path);

// The 56-byte record of a point, and the points of a record file.
std::string Record(const GPL_Data_Point& point);
std::string Records(const std::vector<GPL_Data_Point>& points);
std::vector<GPL_Data_Point> ParseRecords(const std::string& bytes);

// A point with every field set, including Tag and both reserved words.
GPL_Data_Point FullPoint(double latitude, double longitude, double speed, std::uint32_t time,
                         std::uint32_t tag = 0xA1B2C3D4u);

// An NMEA 0183 sentence "$<body>*hh" with the checksum of the body (the
// exclusive or of its characters) and a CR LF line end.
std::string NmeaSentence(const std::string& body);

}  // namespace testing_support

#endif
