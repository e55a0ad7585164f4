#include "xmlnumber.h"

#include <cstdlib>

namespace formats {

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view TrimXmlSpace(std::string_view text) {
    while (!text.empty() && IsXmlSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsXmlSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

XmlNumber::XmlNumber() : locale_(::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr))) {}

XmlNumber::~XmlNumber() {
    if (locale_ != static_cast<locale_t>(nullptr)) {
        ::freelocale(locale_);
    }
}

bool XmlNumber::Read(std::string_view text, double& value) {
    text_.assign(text.data(), text.size());
    const char* start = text_.c_str();
    char* end = nullptr;
    value = ::strtod_l(start, &end, locale_);
    if (end == start) {
        return false;
    }
    while (IsXmlSpace(*end)) {
        ++end;
    }
    return *end == '\0';
}

}  // namespace formats
