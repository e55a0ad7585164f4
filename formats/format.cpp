#include "format.h"

namespace formats {
namespace {

bool SameWord(std::string_view text, const char* word) {
    std::size_t i = 0;
    for (; i < text.size() && word[i] != '\0'; ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != word[i]) {
            return false;
        }
    }
    return i == text.size() && word[i] == '\0';
}

std::string Names(bool (*wanted)(const FormatRow&)) {
    std::size_t count = 0;
    const FormatRow* rows = FormatRows(count);
    std::string names;
    std::size_t listed = 0;
    std::size_t total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        total += *rows[i].name != '\0' && wanted(rows[i]) ? 1 : 0;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (*rows[i].name == '\0' || !wanted(rows[i])) {
            continue;
        }
        names += listed == 0 ? "" : listed + 1 == total ? " or " : ", ";
        names += rows[i].name;
        ++listed;
    }
    return names;
}

}  // namespace

Format Format::Gpl() {
    return Named("gpl");
}

Format Format::Named(std::string_view name) {
    std::size_t count = 0;
    const FormatRow* rows = FormatRows(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (*rows[i].name != '\0' && SameWord(name, rows[i].name)) {
            return Format(&rows[i]);
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
    std::size_t count = 0;
    const FormatRow* rows = FormatRows(count);
    for (std::size_t i = 0; i < count; ++i) {
        for (const char* known : rows[i].extensions) {
            if (known != nullptr && SameWord(extension, known)) {
                return Format(&rows[i]);
            }
        }
    }
    return Format();
}

Format Format::OfContent(const unsigned char* bytes, std::size_t size) {
    std::size_t count = 0;
    const FormatRow* rows = FormatRows(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (rows[i].looks_like != nullptr && rows[i].looks_like(bytes, size)) {
            return Format(&rows[i]);
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
