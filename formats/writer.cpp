#include "writer.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "csvwriter.h"
#include "geojsonwriter.h"
#include "gplwriter.h"
#include "gpxwriter.h"
#include "kmlwriter.h"

namespace formats {

Writer::Writer(Format format, int fd) : format_(format) {
    output_.Attach(fd);
}

bool Writer::Check(bool written_out) {
    if (!written_out && !failed_) {
        const int error = output_.Error();
        Fail(error, std::strerror(error));
    }
    return !failed_;
}

bool Writer::Close() {
    return Check(output_.Close());
}

void Writer::Fail(int system_error, std::string reason) {
    failed_ = true;
    error_.system_error = system_error;
    error_.reason = std::move(reason);
}

bool HasValidPosition(const GPL_Data_Point& point) {
    // Comparisons with NaN are false: a NaN is out of range.
    return std::fabs(point.Latitude) <= 90.0 && std::fabs(point.Longitude) <= 180.0;
}

bool Writable(Format format) {
    switch (format) {
        case Format::kGpl:
        case Format::kGpx:
        case Format::kKml:
        case Format::kGeoJson:
        case Format::kCsv:
            return true;
        default:
            return false;
    }
}

std::unique_ptr<Writer> OpenWriter(Format format, int fd, const WriterOptions& options) {
    switch (format) {
        case Format::kGpl:
            return std::make_unique<GplWriter>(fd);
        case Format::kGpx:
            return std::make_unique<GpxWriter>(fd, options.name);
        case Format::kKml:
            return std::make_unique<KmlWriter>(fd, options);
        case Format::kGeoJson:
            return std::make_unique<GeoJsonWriter>(fd, options.name);
        case Format::kCsv:
            return std::make_unique<CsvWriter>(fd);
        default:
            return nullptr;
    }
}

}  // namespace formats
