#include "reader.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "csvreader.h"
#include "gplfile.h"
#include "gplreader.h"
#include "gpxreader.h"
#include "nmeareader.h"
#include "sniff.h"

namespace formats {

void Reader::Fail(int system_error, std::string reason, Location where) {
    error_.system_error = system_error;
    error_.reason = std::move(reason);
    error_.where = where;
}

bool Readable(Format format) {
    return format == Format::kGpl || format == Format::kGpx || format == Format::kNmea ||
           format == Format::kCsv;
}

Format ReadableFormat(const std::string& path, const unsigned char* start, std::size_t size) {
    const Format named = FromExtension(path);
    if (named != Format::kUnknown) {
        return named;
    }
    const Format looks_like = SniffText(start, size);
    switch (looks_like) {
        case Format::kGpx:
        case Format::kNmea:
        case Format::kCsv:
            return looks_like;
        default:
            return Format::kGpl;
    }
}

std::unique_ptr<Reader> OpenReader(const std::string& path, Format format, ReadError& error) {
    auto file = std::make_unique<gpl::InputFile>();
    if (!file->Open(path)) {
        error.system_error = file->Error();
        error.reason = std::strerror(file->Error());
        return nullptr;
    }
    if (format == Format::kUnknown) {
        const unsigned char* start = nullptr;
        const std::size_t size = file->Peek(&start);
        format = ReadableFormat(path, start, size);
    }
    switch (format) {
        case Format::kGpl:
            return std::make_unique<GplReader>(std::move(file));
        case Format::kGpx:
            return std::make_unique<GpxReader>(std::move(file));
        case Format::kNmea:
            return std::make_unique<NmeaReader>(std::move(file));
        case Format::kCsv:
            return std::make_unique<CsvReader>(std::move(file));
        default:
            error.system_error = 0;
            error.reason = std::string("cannot read ") + Describe(format) + "s";
            return nullptr;
    }
}

}  // namespace formats
