#include "inputcheck.h"

namespace tools {
namespace {

// How trackconvert or logpack would turn such a file into a GPL track, or ""
// when no program of the suite reads it.
std::string Conversion(const std::string& name, formats::Format looks_like) {
    const char* format = nullptr;
    switch (looks_like) {
        case formats::Format::kGpx:
            format = "gpx";
            break;
        case formats::Format::kNmea:
            format = "nmea";
            break;
        case formats::Format::kCsv:
            format = "csv";
            break;
        case formats::Format::kListing:
            break;
        default:
            return "";
    }
    // The same name with ".gpl" for its extension; trackconvert would read a
    // name that already ends in ".gpl" as records, so that one is told.
    const std::size_t slash = name.rfind('/');
    const std::size_t dot = name.rfind('.');
    const bool has_extension =
        dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash + 1);
    const std::string stem = has_extension ? name.substr(0, dot) : name;
    std::string extension = has_extension ? name.substr(dot) : "";
    for (char& c : extension) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    const bool named_gpl = extension == ".gpl";
    const std::string output = stem + (named_gpl ? "-converted.gpl" : ".gpl");
    if (format == nullptr) {
        return "logpack " + name + " " + output;
    }
    return std::string("trackconvert ") + (named_gpl ? std::string("-f ") + format + " " : "") +
           name + " " + output;
}

std::string Advice(const std::string& name, formats::Format looks_like) {
    const std::string conversion = Conversion(name, looks_like);
    return conversion.empty() ? "" : "; convert it with: " + conversion;
}

}  // namespace

formats::Format Sniff(gpl::InputFile& input) {
    const unsigned char* bytes = nullptr;
    const std::size_t size = input.Peek(&bytes);
    return formats::SniffText(bytes, size);
}

void WarnIfNotRecords(const Program& program, const std::string& name, formats::Format looks_like) {
    if (looks_like == formats::Format::kUnknown) {
        return;
    }
    program.Warn(name + " looks like a " + formats::Describe(looks_like) + ", not a GPL track" +
                 Advice(name, looks_like));
}

void WarnNoPoints(const Program& program, const std::string& name, formats::Format looks_like) {
    std::string text = name + " holds no point of a text listing";
    if (looks_like == formats::Format::kUnknown) {
        text += "; it looks like binary data, perhaps a GPL track already";
    } else if (looks_like != formats::Format::kListing && looks_like != formats::Format::kText) {
        text += std::string("; it looks like a ") + formats::Describe(looks_like) +
                Advice(name, looks_like);
    }
    program.Warn(text);
}

void NotePartialRecord(const Program& program, const std::string& name,
                       const gpl::InputFile& input) {
    NotePartialRecord(program, name, input.PartialBytes());
}

void NotePartialRecord(const Program& program, const std::string& name, std::uint64_t bytes) {
    if (bytes > 0) {
        program.Explain(name,
                        "partial record of " + std::to_string(bytes) + " bytes at the end ignored");
    }
}

}  // namespace tools
