// DOTS, a format of the tests: a line "DOTS" (with a label after a blank)
// and a line "<latitude> <longitude>" for each point. It is a folder of its
// own and a line of the table alone, as every format is.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "tracktools/formats/format.h"
#include "tracktools/formats/reader.h"
#include "tracktools/formats/textoutput.h"
#include "tracktools/formats/writer.h"

namespace formats {

extern const FormatRow kDotsFormat;

namespace {

bool LooksLikeDots(const unsigned char* bytes, std::size_t size) {
    return size >= 5 && std::memcmp(bytes, "DOTS", 4) == 0 && (bytes[4] == '\n' || bytes[4] == ' ');
}

class DotsReader : public Reader {
  public:
    explicit DotsReader(std::unique_ptr<io::InputFile> file)
        : Reader(Format(&kDotsFormat), *file), file_(std::move(file)) {}

    bool Next(track::Point& point) override {
        // The first line is the header.
        while (Line(line_)) {
            if (lines_++ == 0) {
                continue;
            }
            point.Reset();
            char* end = nullptr;
            const double latitude = std::strtod(line_.c_str(), &end);
            point.SetPosition(latitude, std::strtod(end, nullptr));
            point.tag = lines_ - 1;
            point.begins_track = point.begins_segment = point.tag == 1;
            return true;
        }
        return false;
    }

  private:
    bool Line(std::string& line) {
        line.clear();
        while (file_->Size() > 0 || file_->More()) {
            const auto* data = file_->Data();
            const auto* newline =
                static_cast<const unsigned char*>(std::memchr(data, '\n', file_->Size()));
            const std::size_t size = newline != nullptr ? newline - data : file_->Size();
            line.append(reinterpret_cast<const char*>(data), size);
            file_->Skip(newline != nullptr ? size + 1 : size);
            if (newline != nullptr) {
                return true;
            }
        }
        return !line.empty();
    }

    std::unique_ptr<io::InputFile> file_;
    std::string line_;
    std::uint32_t lines_ = 0;
};

class DotsWriter : public Writer {
  public:
    DotsWriter(int fd, const WriterOptions& options)
        : Writer(Format(&kDotsFormat), fd), text_(Output()) {
        const std::string_view label = options.Value("label");
        text_.Put(label.empty() ? "DOTS\n" : "DOTS " + std::string(label) + "\n");
    }

    bool Write(const track::Point& point) override {
        if (point.Has(track::kPosition)) {
            text_.Number(point.latitude);
            text_.Put(' ');
            text_.Number(point.longitude);
            text_.Put('\n');
            Count();
        }
        return Check(!text_.Failed());
    }
    bool Finish() override { return Check(!text_.Failed()) && Close(); }

  private:
    TextOutput text_;
};

constexpr WriterOption kDotsOptions[] = {
    {"label", "text", "is the label of a DOTS file", nullptr},
};

}  // namespace

constexpr FormatRow kDotsFormat = FormatRow("dots", "DOTS file")
                                      .Extensions("dots")
                                      .Content(LooksLikeDots)
                                      .Reads<DotsReader>()
                                      .Writes<DotsWriter>()
                                      .Options(kDotsOptions);

}  // namespace formats
