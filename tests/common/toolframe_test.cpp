// The failure paths every file-to-file program shares: the frame's messages
// and exit statuses for files that cannot be opened, read or written, and the
// end of a run whose messages were lost.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "files.h"
#include "program.h"
#include "toolframe.h"

namespace {

using namespace testing_support;
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

const tools::Program kProgram("prog", "Usage: prog\n");

// Copies every record of `in` to `out` through a frame, as the programs do,
// and returns the exit status; `printed` and `explained` receive what went
// to standard output and standard error.
int CopyThroughFrame(const std::string& in, const std::string& out, std::string& printed,
                     std::string& explained) {
    CaptureStdout();
    CaptureStderr();
    tools::ToolFrame frame(kProgram, in, out);
    int status = frame.Open();
    if (status == 0) {
        frame.Announce();
        status = frame.Process(frame.Output());
        if (status == 0) {
            status = frame.Finish();
        }
    }
    printed = GetCapturedStdout();
    explained = GetCapturedStderr();
    return status;
}

TEST(ToolFrame, EachFailureHasItsLineReasonAndStatusAndSparesTheInput) {
    TempDir dir;
    const std::string track = Records({FullPoint(1, 2, 3, 4), FullPoint(5, 6, 7, 8)});
    const std::string in = dir / "in.gpl";
    WriteFile(in, track);
    WriteFile(dir / "partial.gpl", track + "12345");
    struct Case {
        std::string in, out;
        int status;
        std::string printed;
        std::string explained;  // standard error
    } const cases[] = {
        {in, dir / "out.gpl", tools::kExitOk,
         "Opening " + in + "\nOpening " + dir / "out.gpl" +
             "\nWorking...done.\nWrote 2 data points.\n",
         ""},
        {dir / "partial.gpl", dir / "out4.gpl", tools::kExitOk,
         "Opening " + dir / "partial.gpl" + "\nOpening " + dir / "out4.gpl" +
             "\nWorking...done.\nWrote 2 data points.\n",
         "prog: " + dir / "partial.gpl" + ": partial record of 5 bytes at the end ignored\n"},
        {dir / "none.gpl", dir / "out2.gpl", tools::kExitInputFailed,
         "Opening " + dir / "none.gpl" + "\n\"" + dir / "none.gpl" + "\" - Open Failed!!!\n",
         "prog: " + dir / "none.gpl" + ": No such file or directory\n"},
        {dir.path(), dir / "out2.gpl", tools::kExitInputFailed,
         "Opening " + dir.path() + "\n\"" + dir.path() + "\" - Open Failed!!!\n",
         "prog: " + dir.path() + ": Is a directory\n"},
        {in, dir / "no/out.gpl", tools::kExitOutputFailed,
         "Opening " + in + "\nOpening " + dir / "no/out.gpl" + "\n\"" + dir / "no/out.gpl" +
             "\" - Open Failed!!!\n",
         "prog: " + dir / "no/out.gpl" + ": No such file or directory\n"},
        {in, in, tools::kExitOutputFailed,
         "Opening " + in + "\nOpening " + in + "\n\"" + in + "\" - Open Failed!!!\n",
         "prog: " + in + ": is the input file\n"},
        // Opens, but its first page cannot be read.
        {"/proc/self/mem", dir / "out3.gpl", tools::kExitInputFailed,
         "Opening /proc/self/mem\nOpening " + dir / "out3.gpl" +
             "\nWorking...\n\"/proc/self/mem\" - Read Failed!!!\n",
         "prog: /proc/self/mem: Input/output error\n"},
        // The records fit the buffer: the loss shows only when it is closed.
        {in, "/dev/full", tools::kExitWriteFailed,
         "Opening " + in + "\nOpening /dev/full\nWorking...\n\"/dev/full\" - Write Failed!!!\n",
         "prog: /dev/full: No space left on device\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in + " -> " + c.out);
        std::string printed;
        std::string explained;
        EXPECT_EQ(CopyThroughFrame(c.in, c.out, printed, explained), c.status);
        EXPECT_EQ(printed, c.printed);
        EXPECT_EQ(explained, c.explained);
        EXPECT_EQ(ReadFile(in), track);
    }
    EXPECT_EQ(ReadFile(dir / "out.gpl"), track);
    EXPECT_FALSE(FileExists(dir / "out2.gpl"));
}

TEST(ToolFrame, FinishPrintsTheProgramsOwnSummary) {
    TempDir dir;
    WriteFile(dir / "in.gpl", "");
    CaptureStdout();
    tools::ToolFrame frame(kProgram, dir / "in.gpl", dir / "out.gpl");
    ASSERT_EQ(frame.Open(), 0);
    frame.Announce();
    EXPECT_EQ(frame.Finish("Read 0 data points."), tools::kExitOk);
    EXPECT_EQ(GetCapturedStdout(), "Opening " + dir / "in.gpl" + "\nOpening " + dir / "out.gpl" +
                                       "\nWorking...done.\nRead 0 data points.\n");
}

int PrintSomething(const tools::Program&, int, char*[]) {
    tools::PrintLine("a message no one will read");
    return tools::kExitOk;
}

// The end of every run checks standard output: lost messages fail the run.
TEST(ProgramDeathTest, LostMessagesEndTheRunWithAWriteError) {
    const auto run = [] {
        if (std::freopen("/dev/full", "w", stdout) == nullptr) {
            std::_Exit(99);
        }
        char name[] = "prog";
        char* argv[] = {name, nullptr};
        std::_Exit(tools::Program("prog", "Usage: prog\n").Main(1, argv, PrintSomething) & 0xFF);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(tools::kExitWriteFailed & 0xFF),
                "^prog: write error\n$");
}

}  // namespace
