#include "options.h"

#include <cstring>

#include "reader.h"

namespace {

const char kReadable[] = "gpl, gpx, nmea or csv";
const char kWritable[] = "gpl, gpx, kml, geojson or csv";

// The name of the track in the formats that name it: the input's file name
// without its directory and extension ("ride" for "rides/ride.gpx").
std::string TrackName(const std::string& input) {
    const std::size_t slash = input.rfind('/');
    std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return name.empty() ? input : name;
}

// The format named after -f or -t.
bool FormatOption(const char* option, const char* value, bool readable, formats::Format& format,
                  std::string& problem) {
    const char* const accepted = readable ? kReadable : kWritable;
    if (value == nullptr) {
        problem = std::string(option) + " needs a format: " + accepted;
        return false;
    }
    format = formats::FromName(value);
    if (format == formats::Format::kUnknown) {
        problem = std::string("unknown format \"") + value + "\" after " + option + ": " + accepted;
        return false;
    }
    if (readable ? !formats::Readable(format) : !formats::Writable(format)) {
        problem = std::string(readable ? "cannot read " : "cannot write ") +
                  formats::Describe(format) + "s; " + option + " takes " + accepted;
        return false;
    }
    return true;
}

}  // namespace

bool ParseOptions(int argc, char* argv[], Options& options, std::string& problem) {
    problem.clear();
    int names = 0;
    bool to_given = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (std::strcmp(argument, "-f") == 0 || std::strcmp(argument, "-t") == 0) {
            const bool from = argument[1] == 'f';
            if (!FormatOption(argument, value, from, from ? options.from : options.to, problem)) {
                return false;
            }
            to_given = to_given || !from;
            ++i;
        } else if (std::strcmp(argument, "-clamp") == 0) {
            options.writing.clamp = true;
        } else if (std::strcmp(argument, "-extrude") == 0) {
            options.writing.extrude = true;
        } else if (++names == 1) {
            options.input = argument;
        } else {
            options.output = argument;
        }
    }
    if (names != 2) {
        return false;
    }
    if (!to_given) {
        options.to = formats::FromExtension(options.output);
        if (options.to == formats::Format::kUnknown) {
            problem = options.output + ": cannot tell the format from the name; give it with -t";
            return false;
        }
        if (!formats::Writable(options.to)) {
            problem = options.output + ": cannot write " + formats::Describe(options.to) +
                      "s; -t takes " + kWritable;
            return false;
        }
    }
    if ((options.writing.clamp || options.writing.extrude) && options.to != formats::Format::kKml) {
        problem = "-clamp and -extrude are for KML output";
        return false;
    }
    if (options.writing.clamp && options.writing.extrude) {
        problem = "-clamp and -extrude do not go together: a wall needs the line's altitudes";
        return false;
    }
    options.writing.name = TrackName(options.input);
    return true;
}
