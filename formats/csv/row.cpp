#include "row.h"

#include <cstring>
#include <string_view>

#include "csvreader.h"
#include "csvwriter.h"
#include "tracktools/formats/ascii.h"
#include "tracktools/formats/sniff.h"

namespace formats {
namespace {

bool IsBlankOrQuote(unsigned char c) {
    return IsXmlSpace(c) || c == '"';
}

// A header line that names the columns a track needs: "latitude" and
// "longitude" among its comma-separated names, in any case, blanks and
// quotes around them aside.
bool LooksLikeCsv(const unsigned char* bytes, std::size_t size) {
    const FirstLine line = FirstTextLine(bytes, size);
    if (!line.plain) {
        return false;
    }
    bool latitude = false;
    bool longitude = false;
    for (const unsigned char* field = line.begin; field <= line.end;) {
        const auto* comma = static_cast<const unsigned char*>(
            std::memchr(field, ',', static_cast<std::size_t>(line.end - field)));
        const unsigned char* a = field;
        const unsigned char* b = comma != nullptr ? comma : line.end;
        while (a < b && IsBlankOrQuote(*a)) {
            ++a;
        }
        while (b > a && IsBlankOrQuote(b[-1])) {
            --b;
        }
        const std::string_view name(reinterpret_cast<const char*>(a),
                                    static_cast<std::size_t>(b - a));
        latitude = latitude || SameInAnyCase(name, "latitude");
        longitude = longitude || SameInAnyCase(name, "longitude");
        if (comma == nullptr) {
            break;
        }
        field = comma + 1;
    }
    return latitude && longitude;
}

}  // namespace

constexpr FormatRow kCsvFormat = FormatRow("csv", "CSV file")
                                     .Extensions("csv")
                                     .Content(LooksLikeCsv)
                                     .Reads<CsvReader>()
                                     .Writes<CsvWriter>();

}  // namespace formats
