// What the FIT and TCX tests share: the encoder's test files, made once a
// run; the sample recordings; reading all points of a file.
#ifndef TRACKTOOLS_TESTS_FIT_FITSUPPORT_H
#define TRACKTOOLS_TESTS_FIT_FITSUPPORT_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "files.h"
#include "tracktools/formats/reader.h"

namespace fit_support {

constexpr char kPython[] = "/usr/bin/python3";

inline std::string SourcePath(const std::string& relative) {
    return std::string(TRACKTOOLS_SOURCE_DIR) + "/" + relative;
}

// The real recordings, which are not ours to commit: read where they are.
inline std::string SamplesDir() {
    return SourcePath("../shared/samples");
}

// The directory of the encoder's files (fitencode.py cases); empty when
// Python cannot make them.
inline const std::string& CasesDir() {
    static const testing_support::TempDir dir;
    static const std::string path =
        std::system((std::string(kPython) + " " + SourcePath("tests/fit/fitencode.py") + " cases " +
                     dir.path())
                        .c_str()) == 0
            ? dir.path()
            : "";
    return path;
}

#define REQUIRE_FIT_CASES()                                                           \
    if (fit_support::CasesDir().empty()) {                                            \
        GTEST_SKIP() << "the FIT encoder needs Python 3 at " << fit_support::kPython; \
    }

struct Read {
    std::vector<track::Point> points;
    bool failed = false;
    formats::ReadError error;
    formats::Sport sport = formats::Sport::kUnknown;
    std::vector<formats::Tally> tallies;
};

// Every point of `path` read as `format` (unknown: as its name or content
// says), salvaging a file that breaks when asked to.
inline Read ReadPoints(const std::string& path, formats::Format format = {}, bool salvage = false) {
    Read result;
    const auto reader = formats::OpenReader(path, format, result.error);
    if (!reader) {
        ADD_FAILURE() << path << " not opened: " << result.error.reason;
        result.failed = true;
        return result;
    }
    reader->Salvage(salvage);
    track::Point point;
    while (reader->Next(point)) {
        result.points.push_back(point);
    }
    result.failed = reader->Failed();
    result.error = reader->Error();
    result.sport = reader->RecordedSport();
    result.tallies = reader->Tallies();
    return result;
}

}  // namespace fit_support

#endif
