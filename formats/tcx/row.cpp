#include "row.h"

#include "tcxreader.h"
#include "tcxwriter.h"
#include "tracktools/formats/sniff.h"

namespace formats {
namespace {

bool LooksLikeTcx(const unsigned char* bytes, std::size_t size) {
    return LooksLikeXml(bytes, size, "TrainingCenterDatabase");
}

// The names TcxWriter knows (see SportOf in tcxwriter.cpp).
constexpr const char* kSports[] = {"running", "biking", "other", nullptr};
constexpr WriterOption kTcxOptions[] = {
    {"sport", "s",
     "is the sport of a TCX activity\n"
     "(default: the one a FIT or TCX input names, else other)",
     kSports},
};

}  // namespace

constexpr FormatRow kTcxFormat = FormatRow("tcx", "TCX file")
                                     .Extensions("tcx")
                                     .Content(LooksLikeTcx)
                                     .Reads<TcxReader>()
                                     .Writes<TcxWriter>()
                                     .Options(kTcxOptions);

}  // namespace formats
