#include "format.h"

#include <vector>

#include "ascii.h"
#include "gpl/row.h"

namespace formats {
namespace {

// "a", "a or b", "a, b or c".
std::string Listed(const std::vector<const char*>& words) {
    std::string list;
    for (std::size_t i = 0; i < words.size(); ++i) {
        list += i == 0 ? "" : i + 1 == words.size() ? " or " : ", ";
        list += words[i];
    }
    return list;
}

std::string Names(bool (*wanted)(const FormatRow&)) {
    std::vector<const char*> names;
    for (const FormatRow* row : AllFormats()) {
        if (*row->name != '\0' && wanted(*row)) {
            names.push_back(row->name);
        }
    }
    return Listed(names);
}

}  // namespace

std::string WriterOption::Choices() const {
    std::vector<const char*> values;
    for (const char* const* choice = choices; choice != nullptr && *choice != nullptr; ++choice) {
        values.push_back(*choice);
    }
    return Listed(values);
}

Format Format::Gpl() {
    return Format(&kGplFormat);
}

Format Format::Named(std::string_view name) {
    for (const FormatRow* row : AllFormats()) {
        if (*row->name != '\0' && SameInAnyCase(name, row->name)) {
            return Format(row);
        }
    }
    return Format();
}

Format Format::OfExtension(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    if (dot == std::string::npos || dot <= base) {
        return Format();
    }
    const std::string_view extension = std::string_view(path).substr(dot + 1);
    for (const FormatRow* row : AllFormats()) {
        for (const char* known : row->extensions) {
            if (known != nullptr && SameInAnyCase(extension, known)) {
                return Format(row);
            }
        }
    }
    return Format();
}

Format Format::OfContent(const unsigned char* bytes, std::size_t size) {
    for (const FormatRow* row : AllFormats()) {
        if (row->looks_like != nullptr && row->looks_like(bytes, size)) {
            return Format(row);
        }
    }
    return Format();
}

std::string Format::ReadableNames() {
    return Names([](const FormatRow& row) { return row.read != nullptr; });
}

std::string Format::WritableNames() {
    return Names([](const FormatRow& row) { return row.write != nullptr; });
}

}  // namespace formats
