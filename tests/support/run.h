// Runs a built program the way a user would, and captures what it did.
#ifndef TRACKTOOLS_TESTS_RUN_H
#define TRACKTOOLS_TESTS_RUN_H

#include <string>
#include <vector>

namespace testing_support {

struct RunOptions {
    std::string tz = "UTC";          // every run names its time zone
    std::string cwd;                 // empty: the caller's directory
    int umask = 022;                 // file creation mask of the child
    std::string stdout_path;         // non-empty: standard output goes to this file
    std::string stdin_text;          // written to standard input
    double time_limit_seconds = 60;  // a run that takes longer is killed
};

struct RunResult {
    int exit_status = -1000;  // 0..255 as the shell sees it; -1000 when killed by a signal
    int signal = 0;
    bool timed_out = false;
    std::string out;
    std::string err;
};

// Path of a program built in this tree, e.g. ToolPath("stepclock").
std::string ToolPath(const std::string& program);

// Runs `program` (a path) with `args`, a clean environment holding PATH, TZ
// and LC_ALL=C only.
RunResult Run(const std::string& program, const std::vector<std::string>& args,
              const RunOptions& options = {});

// Runs ToolPath(tool) with `args`.
RunResult RunTool(const std::string& tool, const std::vector<std::string>& args,
                  const RunOptions& options = {});

// Makes the sample drive of the demo into the GPL track `name` in `dir`,
// with logpack; true when that worked.
bool PackSampleDrive(const std::string& dir, const std::string& name);

// The exit status a shell sees for a negative value returned from main.
constexpr int ShellStatus(int value) {
    return value & 0xFF;
}

}  // namespace testing_support

#endif
