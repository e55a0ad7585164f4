// The table of formats: every format the suite reads, writes or recognises,
// one line each. Its row is defined in its folder (formats/<folder>/row.cpp).
#include "csv/row.h"
#include "fit/row.h"
#include "format.h"
#include "geojson/row.h"
#include "gpl/row.h"
#include "gpx/row.h"
#include "gzip/row.h"
#include "igc/row.h"
#include "kml/row.h"
#include "nmea/row.h"
#include "recognised/row.h"
#include "tcx/row.h"
#include "zip/row.h"

namespace formats {

#ifdef TRACKTOOLS_EXTRA_FORMAT
// A test build adds a format of its own here (see tests/newformat).
extern const FormatRow TRACKTOOLS_EXTRA_FORMAT;
#endif

namespace {

// The order in which content tests are tried, each only where those before
// said no: the XML formats before XML of any kind, the text formats before
// plain text, which takes any text.
constexpr const FormatRow* kRows[] = {
    &kGplFormat,  // no content test
    &kGpxFormat,
    &kTcxFormat,
    &kKmlFormat,
    &kXmlFormat,
    &kGeoJsonFormat,
    &kFitFormat,
    &kGzipFormat,
    &kZipFormat,
    &kNmeaFormat,
    &kIgcFormat,
    &kListingFormat,
    &kCsvFormat,
#ifdef TRACKTOOLS_EXTRA_FORMAT
    &TRACKTOOLS_EXTRA_FORMAT,
#endif
    &kTextFormat,
};

}  // namespace

Items<const FormatRow*> AllFormats() {
    return {kRows, sizeof kRows / sizeof kRows[0]};
}

}  // namespace formats
