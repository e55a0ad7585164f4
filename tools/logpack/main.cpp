// logpack: turns a text listing of track points, one "<n>:<point>" per line,
// into a GPL track file. Lines that hold no point are passed over silently.
#include <cstdint>
#include <string>

#include "program.h"
#include "toolframe.h"

namespace {

constexpr char kUsage[] = "Usage: logpack <input file.TXT> <output file.GPL>\n";

int Run(const tools::Program& program, int argc, char* argv[]) {
    if (argc != 3) {
        return program.Usage();
    }

    tools::ToolFrame frame(program, argv[1], argv[2], tools::ToolFrame::Input::kListing);
    if (const int failed = frame.Open()) {
        return failed;
    }
    frame.Announce();

    // 510 characters and the terminating zero; the rest of a longer line is
    // dropped, so the run always moves on through the input.
    char line[511];
    // One string for the whole run: its capacity is reused from line to line.
    std::string text;
    track::Point point;
    std::uint64_t passes = 0;
    while (!frame.AtEnd()) {
        frame.ReadLine(line, sizeof line);
        text.assign(line);
        GPL_Data_Point record;
        if (record.ExtractFromString(text)) {
            point.Reset();
            track::FromRecord(record, point);
            // Flushed record by record: a reader at the other end of a pipe
            // or device gets each record as it comes.
            if (!frame.WriteNow(point)) {
                return frame.WriteFailed();
            }
        }
        // A pass counts every line, the empty one read at the end included.
        ++passes;
        frame.Mark(passes + 1);
    }
    return frame.Finish();
}

}  // namespace

int main(int argc, char* argv[]) {
    return tools::Program("logpack", kUsage).Main(argc, argv, Run);
}
