// Reading a whole text through a format reader, and writing points through a
// format writer into a file, for the tests of the formats library.
#ifndef TRACKTOOLS_TESTS_FORMATS_SUPPORT_H
#define TRACKTOOLS_TESTS_FORMATS_SUPPORT_H

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "files.h"
#include "reader.h"
#include "writer.h"

namespace formats_support {

struct ReadResult {
    std::vector<GPL_Data_Point> points;
    bool failed = false;
    formats::ReadError error;
    std::vector<formats::Tally> tallies;

    // The count of the tally whose plural words start with `words`.
    std::uint64_t Count(const char* words) const {
        for (const formats::Tally& tally : tallies) {
            if (std::strncmp(tally.many, words, std::strlen(words)) == 0) {
                return tally.count;
            }
        }
        ADD_FAILURE() << "no tally \"" << words << "\"";
        return 0;
    }
};

inline ReadResult ReadAll(const std::string& bytes, formats::Format format) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir / "input", bytes);
    ReadResult result;
    const auto reader = formats::OpenReader(dir / "input", format, result.error);
    if (!reader) {
        ADD_FAILURE() << "not opened: " << result.error.reason;
        result.failed = true;
        return result;
    }
    GPL_Data_Point point;
    while (reader->Next(point)) {
        result.points.push_back(point);
    }
    // The end stays the end.
    EXPECT_FALSE(reader->Next(point));
    result.failed = reader->Failed();
    result.error = reader->Error();
    result.tallies = reader->Tallies();
    return result;
}

struct WriteResult {
    std::string bytes;
    std::uint64_t written = 0;
    std::vector<formats::Tally> tallies;
};

inline WriteResult WriteAll(formats::Format format, const std::vector<GPL_Data_Point>& points,
                            const formats::WriterOptions& options = {}) {
    testing_support::TempDir dir;
    const std::string path = dir / "output";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    WriteResult result;
    {
        const auto writer = formats::OpenWriter(format, fd, options);
        for (const GPL_Data_Point& point : points) {
            EXPECT_TRUE(writer->Write(point));
        }
        EXPECT_TRUE(writer->Finish());
        result.written = writer->Written();
        result.tallies = writer->Tallies();
    }
    ::close(fd);
    result.bytes = testing_support::ReadFile(path);
    return result;
}

}  // namespace formats_support

#endif
