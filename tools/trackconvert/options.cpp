#include "options.h"

#include <cstring>

#include "tracktools/formats/format.h"

namespace {

// The format named after -f or -t.
bool FormatOption(const char* option, const char* value, bool readable, formats::Format& format,
                  std::string& problem) {
    const std::string accepted =
        readable ? formats::Format::ReadableNames() : formats::Format::WritableNames();
    if (value == nullptr) {
        problem = std::string(option) + " needs a format: " + accepted;
        return false;
    }
    format = formats::Format::Named(value);
    if (!format.Known()) {
        problem = std::string("unknown format \"") + value + "\" after " + option + ": " + accepted;
        return false;
    }
    if (readable ? !format.Readable() : !format.Writable()) {
        problem = std::string(readable ? "cannot read " : "cannot write ") + format.Describe() +
                  "s; " + option + " takes " + accepted;
        return false;
    }
    return true;
}

// The sport named after -sport.
bool SportOption(const char* value, formats::Sport& sport, std::string& problem) {
    const struct {
        const char* name;
        formats::Sport sport;
    } kSports[] = {{"running", formats::Sport::kRunning},
                   {"biking", formats::Sport::kBiking},
                   {"other", formats::Sport::kOther}};
    for (const auto& known : kSports) {
        if (value != nullptr && std::strcmp(value, known.name) == 0) {
            sport = known.sport;
            return true;
        }
    }
    problem = value == nullptr ? std::string("-sport needs a sport: running, biking or other")
                               : std::string("unknown sport \"") + value +
                                     "\" after -sport: running, biking or other";
    return false;
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
        } else if (std::strcmp(argument, "-sport") == 0) {
            if (!SportOption(value, options.writing.sport, problem)) {
                return false;
            }
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
        options.to = formats::Format::OfExtension(options.output);
        if (!options.to.Known()) {
            problem = options.output + ": cannot tell the format from the name; give it with -t";
            return false;
        }
        if (!options.to.Writable()) {
            problem = options.output + ": cannot write " + options.to.Describe() + "s; -t takes " +
                      formats::Format::WritableNames();
            return false;
        }
    }
    if ((options.writing.clamp || options.writing.extrude) &&
        options.to != formats::Format::Named("kml")) {
        problem = "-clamp and -extrude are for KML output";
        return false;
    }
    if (options.writing.sport != formats::Sport::kUnknown &&
        options.to != formats::Format::Named("tcx")) {
        problem = "-sport is for TCX output";
        return false;
    }
    if (options.writing.clamp && options.writing.extrude) {
        problem = "-clamp and -extrude do not go together: a wall needs the line's altitudes";
        return false;
    }
    return true;
}
