#include "inputcheck.h"

#include "tracktools/formats/timetext.h"

namespace tools {
namespace {

// How trackconvert or logpack would turn such a file into a GPL track, or ""
// when no program of the suite reads it.
std::string Conversion(const std::string& name, formats::Format looks_like) {
    const char* other = looks_like.Row() != nullptr ? looks_like.Row()->converted_by : nullptr;
    if (!looks_like.Readable() && other == nullptr) {
        return "";
    }
    // The same name with ".gpl" for its extension; trackconvert would read a
    // name that already ends in ".gpl" as records, so that one is told.
    const std::size_t slash = name.rfind('/');
    const std::size_t dot = name.rfind('.');
    const bool has_extension =
        dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash + 1);
    const std::string stem = has_extension ? name.substr(0, dot) : name;
    const bool named_gpl = formats::Format::OfExtension(name) == formats::Format::Gpl();
    const std::string output = stem + (named_gpl ? "-converted.gpl" : ".gpl");
    if (!looks_like.Readable()) {
        return std::string(other) + " " + name + " " + output;
    }
    return std::string("trackconvert ") +
           (named_gpl ? std::string("-f ") + looks_like.Name() + " " : "") + name + " " + output;
}

std::string Advice(const std::string& name, formats::Format looks_like) {
    const std::string conversion = Conversion(name, looks_like);
    return conversion.empty() ? "" : "; convert it with: " + conversion;
}

}  // namespace

void WarnIfNotRecords(const Program& program, const std::string& name, formats::Format looks_like) {
    if (!looks_like.Known()) {
        return;
    }
    program.Warn(name + " looks like a " + looks_like.Describe() + ", not a GPL track" +
                 Advice(name, looks_like));
}

void WarnNoPoints(const Program& program, const std::string& name, formats::Format looks_like) {
    std::string text = name + " holds no point of a text listing";
    if (!looks_like.Known()) {
        text += "; it looks like binary data, perhaps a GPL track already";
    } else if (!looks_like.ReadAsRecords()) {
        text +=
            std::string("; it looks like a ") + looks_like.Describe() + Advice(name, looks_like);
    }
    program.Warn(text);
}

formats::Tally WithoutPosition(std::uint64_t count) {
    return {count, "point without a position was skipped", "points without a position were skipped",
            true};
}

std::vector<std::string> TallyLines(const std::vector<formats::Tally>& tallies) {
    std::vector<std::string> lines;
    for (const formats::Tally& tally : tallies) {
        if (tally.count > 0) {
            lines.push_back(std::to_string(tally.count) + " " +
                            (tally.count == 1 ? tally.one : tally.many) + ".");
        }
    }
    return lines;
}

std::string TrackName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return name.empty() ? path : name;
}

std::string UtcText(track::Instant instant) {
    char text[formats::kMaxUtcTimeLength];
    return std::string(text, formats::FormatUtcTime(instant, text));
}

}  // namespace tools
