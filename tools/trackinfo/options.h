// trackinfo's command line: options before the first file name, "--" ends
// them.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_OPTIONS_H
#define TRACKTOOLS_TOOLS_TRACKINFO_OPTIONS_H

#include <string>
#include <vector>

namespace trackinfo {

struct Options {
    bool metric = false;
    bool json = false;
    bool check = false;
    bool splits = false;   // a kilometre or a mile each
    bool laps = false;     // a line per lap in the text report and the page
    bool pace = false;     // beside each speed
    bool local = false;    // times in the zone TZ names
    bool salvage = false;  // a file that breaks part way gives what came before
    bool stop_given = false;
    double stop = 0.0;   // in the report's unit of speed, when given
    double climb = 5.0;  // metres
    std::string html;    // the page to write, or empty
    std::vector<std::string> files;
};

// False, with `why` saying what is wrong, for an unknown option, a value
// that is missing or not a number (finite, 0 or more), or no file at all.
bool ParseOptions(int argc, char* argv[], Options& options, std::string& why);

}  // namespace trackinfo

#endif
