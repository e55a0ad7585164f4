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
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// Copies every record of `in` to `out` through a frame, as the programs do,
// and returns the exit status; `printed` receives the messages.
int CopyThroughFrame(const std::string& in, const std::string& out, std::string& printed) {
    CaptureStdout();
    tools::ToolFrame frame(in, out);
    int status = frame.Open();
    if (status == 0) {
        frame.Announce();
        GPL_Data_Point point;
        while (status == 0 && frame.Read(point)) {
            if (!frame.Write(point)) {
                status = frame.WriteFailed();
            }
        }
        if (status == 0) {
            status = frame.Finish();
        }
    }
    printed = GetCapturedStdout();
    return status;
}

TEST(ToolFrame, EachFailureHasItsLineAndStatusAndSparesTheInput) {
    TempDir dir;
    const std::string track = Records({FullPoint(1, 2, 3, 4), FullPoint(5, 6, 7, 8)});
    WriteFile(dir / "in.gpl", track);
    struct Case {
        std::string in, out;
        int status;
        std::string printed;
    } const cases[] = {
        {dir / "in.gpl", dir / "out.gpl", tools::kExitOk,
         "Opening " + dir / "in.gpl" + "\nOpening " + dir / "out.gpl" +
             "\nWorking...done.\nWrote 2 data points.\n"},
        {dir / "none.gpl", dir / "out2.gpl", tools::kExitInputFailed,
         "Opening " + dir / "none.gpl" + "\n\"" + dir / "none.gpl" + "\" - Open Failed!!!\n"},
        {dir / "in.gpl", dir / "no/out.gpl", tools::kExitOutputFailed,
         "Opening " + dir / "in.gpl" + "\nOpening " + dir / "no/out.gpl" + "\n\"" +
             dir / "no/out.gpl" + "\" - Open Failed!!!\n"},
        {dir / "in.gpl", dir / "in.gpl", tools::kExitOutputFailed,
         "Opening " + dir / "in.gpl" + "\nOpening " + dir / "in.gpl" + "\n\"" + dir / "in.gpl" +
             "\" - Open Failed!!!\n"},
        // Opens, but its first page cannot be read.
        {"/proc/self/mem", dir / "out3.gpl", tools::kExitInputFailed,
         "Opening /proc/self/mem\nOpening " + dir / "out3.gpl" +
             "\nWorking...\n\"/proc/self/mem\" - Read Failed!!!\n"},
        // The records fit the buffer: the loss shows only when it is closed.
        {dir / "in.gpl", "/dev/full", tools::kExitWriteFailed,
         "Opening " + dir / "in.gpl" +
             "\nOpening /dev/full\nWorking...\n\"/dev/full\" - Write "
             "Failed!!!\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in + " -> " + c.out);
        std::string printed;
        EXPECT_EQ(CopyThroughFrame(c.in, c.out, printed), c.status);
        EXPECT_EQ(printed, c.printed);
        EXPECT_EQ(ReadFile(dir / "in.gpl"), track);
    }
    EXPECT_EQ(ReadFile(dir / "out.gpl"), track);
    EXPECT_FALSE(FileExists(dir / "out2.gpl"));
}

TEST(ToolFrame, FinishPrintsTheProgramsOwnSummary) {
    TempDir dir;
    WriteFile(dir / "in.gpl", "");
    CaptureStdout();
    tools::ToolFrame frame(dir / "in.gpl", dir / "out.gpl");
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
