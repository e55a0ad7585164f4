#include "options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace trackinfo {
namespace {

bool Number(const char* text, double& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && errno == 0 && std::isfinite(value) && value >= 0.0;
}

}  // namespace

bool ParseOptions(int argc, char* argv[], Options& options, std::string& why) {
    int at = 1;
    for (; at < argc; ++at) {
        const std::string word = argv[at];
        if (word == "--") {
            ++at;
            break;
        }
        if (word.size() < 2 || word[0] != '-') {
            break;  // the first file name
        }
        if (word == "-metric") {
            options.metric = true;
        } else if (word == "-json") {
            options.json = true;
        } else if (word == "-check") {
            options.check = true;
        } else if (word == "-splits") {
            options.splits = true;
        } else if (word == "-laps") {
            options.laps = true;
        } else if (word == "-pace") {
            options.pace = true;
        } else if (word == "-local") {
            options.local = true;
        } else if (word == "-salvage") {
            options.salvage = true;
        } else if (word == "-stop" || word == "-climb" || word == "-html") {
            if (at + 1 >= argc) {
                why = word + ": a value is missing";
                return false;
            }
            const char* value = argv[++at];
            if (word == "-html") {
                options.html = value;
                if (options.html.empty()) {
                    why = word + ": the page needs a name";
                    return false;
                }
                continue;
            }
            double number = 0.0;
            if (!Number(value, number)) {
                why = word + ": not a number of 0 or more: " + value;
                return false;
            }
            (word == "-stop" ? options.stop : options.climb) = number;
            options.stop_given = options.stop_given || word == "-stop";
        } else {
            why = word + ": unknown option";
            return false;
        }
    }
    options.files.assign(argv + at, argv + argc);
    if (options.files.empty()) {
        why = "no file named";
        return false;
    }
    return true;
}

}  // namespace trackinfo
