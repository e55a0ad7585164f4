// The one-line text form of a track point: the stream writer and the reader
// that logpack feeds with the lines of a listing.
#include <locale.h>  // newlocale
#include <stdlib.h>  // strtod_l

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <ios>
#include <limits>
#include <ostream>
#include <string>

#include "gpltext.h"

#include "gpldata.h"

namespace gpl {
namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

char LowerCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Just past `word` (lower case) at the start of `text` in any case, or
// nullptr when the text stops matching first.
const char* SkipWord(const char* text, const char* word) {
    for (; *word != '\0'; ++text, ++word) {
        if (LowerCase(*text) != *word) {
            return nullptr;
        }
    }
    return text;
}

// strtod in the C locale: '.' is the decimal point whatever locale the
// process has. The C locale object is the C library's own (no allocation);
// should it be missing, the process locale, which the programs never change,
// is the C locale too.
double ConvertInCLocale(const char* text) {
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c_locale != nullptr ? strtod_l(text, nullptr, c_locale) : std::strtod(text, nullptr);
}

// Digits (and at most one point) between `begin` and `end` without an
// exponent, when they are at most 15: the digits as an integer are exact in a
// double, and so is the power of ten that the fraction digits divide by, so
// the one rounding of the division gives the bits strtod gives, much faster.
bool ConvertShortDecimal(const char* begin, const char* end, double& value) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::uint64_t digits = 0;
    int count = 0;
    int fraction = 0;
    for (const char* p = begin; p != end; ++p) {
        if (*p == '.') {
            fraction = static_cast<int>(end - p) - 1;
        } else if (++count > 15) {
            return false;
        } else {
            digits = digits * 10 + static_cast<unsigned>(*p - '0');
        }
    }
    value = static_cast<double>(digits) / kPowersOfTen[fraction];
    return true;
}

}  // namespace

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::uint32_t ParseUnsigned32(const char* text, int base, const char** end) {
    const char* p = text;
    while (IsSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (base == 0) {
        if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) < 16) {
            base = 16;
            p += 2;
        } else if (p[0] == '0') {
            base = 8;
        } else {
            base = 10;
        }
    }
    const char* digits = p;
    std::uint64_t magnitude = 0;
    bool overflow = false;
    while (DigitValue(*p) < base) {
        magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(DigitValue(*p));
        if (magnitude > 0xFFFFFFFFu) {
            overflow = true;
            magnitude = 0xFFFFFFFFu;  // keeps the arithmetic in range; the result is fixed
        }
        ++p;
    }
    if (p == digits) {
        if (end != nullptr)
            *end = text;
        return 0;
    }
    if (end != nullptr)
        *end = p;
    if (overflow) {
        return 0xFFFFFFFFu;
    }
    const auto value = static_cast<std::uint32_t>(magnitude);
    return negative ? static_cast<std::uint32_t>(0u - value) : value;
}

const char* ScanDouble(const char* text, double& value) {
    const char* p = text;
    while (IsSpace(*p)) {
        ++p;
    }
    const char* const number = p;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') {
        ++p;
    }
    const char first = LowerCase(*p);
    if (first == 'n' || first == 'i') {
        // A word once begun must be complete; no "(...)" is taken after "nan".
        p = SkipWord(p, first == 'n' ? "nan" : "inf");
        if (p != nullptr && first == 'i' && LowerCase(*p) == 'i') {
            p = SkipWord(p, "inity");
        }
        if (p == nullptr) {
            return nullptr;
        }
        const double magnitude = first == 'n' ? std::numeric_limits<double>::quiet_NaN()
                                              : std::numeric_limits<double>::infinity();
        value = std::copysign(magnitude, negative ? -1.0 : 1.0);
        return p;
    }

    // The "0x" of a hexadecimal number counts only right after the sign.
    const bool hex = p[0] == '0' && LowerCase(p[1]) == 'x';
    if (hex) {
        p += 2;
    }
    const char* const mantissa = p;
    bool digits = false;
    bool point = false;
    for (;; ++p) {
        if (hex ? DigitValue(*p) < 16 : IsDecimalDigit(*p)) {
            digits = true;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    const bool exponent = digits && LowerCase(*p) == (hex ? 'p' : 'e');
    if (exponent) {
        ++p;
        if (*p == '+' || *p == '-') {
            ++p;
        }
        while (IsDecimalDigit(*p)) {
            ++p;
        }
    }
    // "0x." still converts: its valid start is the 0.
    if (hex ? p == mantissa : !digits) {
        return nullptr;
    }
    double magnitude = 0.0;
    if (!hex && !exponent && ConvertShortDecimal(mantissa, p, magnitude)) {
        value = negative ? -magnitude : magnitude;
    } else {
        // Nothing strtod could read goes past what was taken, so it reads
        // the valid start of that and no further.
        value = ConvertInCLocale(number);
    }
    return p;
}

}  // namespace gpl

namespace {

// Where no position has been read.
constexpr double kNoPosition = 500.0;

static_assert(sizeof(std::time_t) >= 8,
              "time stamps of 2^31 and more are dates after 2038 only with a 64-bit time_t");

const char* SkipSpace(const char* p) {
    while (gpl::IsSpace(*p)) {
        ++p;
    }
    return p;
}

// A decimal int with optional sign after optional white space. Values out of
// the int range are held at its ends. False, with `p` unmoved, when there are
// no digits.
bool ScanInt(const char*& p, int& value) {
    const char* q = SkipSpace(p);
    const bool negative = *q == '-';
    if (*q == '+' || *q == '-') {
        ++q;
    }
    if (*q < '0' || *q > '9') {
        return false;
    }
    // Digits past 2^31 cannot change the held result.
    constexpr long long kCap = 1LL << 31;
    long long magnitude = 0;
    for (; *q >= '0' && *q <= '9'; ++q) {
        if (magnitude < kCap) {
            magnitude = magnitude * 10 + (*q - '0');
        }
    }
    long long result = negative ? -magnitude : magnitude;
    if (result < std::numeric_limits<int>::min()) {
        result = std::numeric_limits<int>::min();
    } else if (result > std::numeric_limits<int>::max()) {
        result = std::numeric_limits<int>::max();
    }
    value = static_cast<int>(result);
    p = q;
    return true;
}

// The next run of at most `width` characters that are not white space, after
// skipping white space, into `out` (width + 1 bytes). False at the end of the
// text.
bool ScanWord(const char*& p, int width, char* out) {
    const char* q = SkipSpace(p);
    if (*q == '\0') {
        return false;
    }
    int length = 0;
    while (length < width && *q != '\0' && !gpl::IsSpace(*q)) {
        out[length++] = *q++;
    }
    out[length] = '\0';
    p = q;
    return true;
}

// A number read by ScanDouble; false, with `p` unmoved, when there is none.
bool ScanNumber(const char*& p, double& value) {
    const char* const end = gpl::ScanDouble(p, value);
    if (end == nullptr) {
        return false;
    }
    p = end;
    return true;
}

bool ScanLiteral(const char*& p, char c) {
    if (*p != c) {
        return false;
    }
    ++p;
    return true;
}

// Month number 0 to 11 of a three-letter English abbreviation in any case,
// 255 for anything else.
int MonthNumber(const char* name) {
    static const char kMonths[12][4] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
    for (int month = 0; month < 12; ++month) {
        if (gpl::SkipWord(name, kMonths[month]) != nullptr) {
            return month;
        }
    }
    return 255;
}

// The local time of a date text "dd-Mon-yyyy..." and a time text "hh:mm:ss...".
// Whatever number the texts do not supply counts as 0; the calendar
// conversion carries values out of range into the next larger unit and
// decides daylight-saving time itself.
std::uint32_t LocalTimeStamp(const char* date, const char* clock) {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    const char* p = clock;
    if (ScanInt(p, hours) && ScanLiteral(p, ':') && ScanInt(p, minutes) && ScanLiteral(p, ':')) {
        ScanInt(p, seconds);
    }

    const std::size_t length = std::strlen(date);
    int day = 0;
    p = date;
    ScanInt(p, day);
    // The month is at positions 4 to 6 and the year starts at position 8,
    // counting from 1; a shorter text supplies neither.
    const int month = length >= 6 ? MonthNumber(date + 3) : 255;
    int year = 0;
    if (length >= 8) {
        p = date + 7;
        ScanInt(p, year);
    }

    std::tm calendar{};
    calendar.tm_sec = seconds;
    calendar.tm_min = minutes;
    calendar.tm_hour = hours;
    calendar.tm_mday = day;
    calendar.tm_mon = month;
    // Years near the bottom of the int range cannot have 1900 taken off.
    constexpr int kLowestYear = std::numeric_limits<int>::min() + 1900;
    calendar.tm_year = (year < kLowestYear ? kLowestYear : year) - 1900;
    calendar.tm_isdst = -1;
    // 32 bits of the result: the error value -1 becomes 4294967295.
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(std::mktime(&calendar)));
}

}  // namespace

int gpl::ScanLineItems(const char* text, GPL_Data_Point& point, char* date, char* clock) {
    const char* p = text;
    const char* end = nullptr;
    ParseUnsigned32(p, 10, &end);
    if (end == p) {
        return 0;
    }
    p = end;
    if (!ScanLiteral(p, ':')) {
        return 1;
    }
    const std::uint32_t tag = ParseUnsigned32(p, 10, &end);
    if (end == p) {
        return 1;
    }
    point.Tag = tag;
    p = end;
    if (!ScanLiteral(p, ',') || !ScanNumber(p, point.Latitude)) {
        return 2;
    }
    if (!ScanLiteral(p, ',') || !ScanNumber(p, point.Longitude)) {
        return 3;
    }
    if (!ScanLiteral(p, ',') || !ScanWord(p, kDateTextWidth, date)) {
        return 4;
    }
    if (!ScanWord(p, kTimeTextWidth, clock)) {
        return 5;
    }
    if (!ScanNumber(p, point.Heading)) {
        return 6;
    }
    if (!ScanLiteral(p, ',') || !ScanNumber(p, point.Speed)) {
        return 7;
    }
    if (!ScanLiteral(p, ',') || !ScanNumber(p, point.Altitude)) {
        return 8;
    }
    return 9;  // anything after Altitude is ignored
}

std::ostream& operator<<(std::ostream& out, const GPL_Data_Point& point) {
    // The unsigned stamp goes to the calendar as a 64-bit time value, so
    // stamps of 2^31 and more are dates after 2038, not before 1970.
    const std::time_t stamp = static_cast<std::time_t>(point.Time);
    std::tm local{};
    char when[80];
    if (localtime_r(&stamp, &local) == nullptr ||
        std::strftime(when, sizeof when, "%d-%b-%Y, %H:%M:%S", &local) == 0) {
        when[0] = '\0';
    }
    out.setf(std::ios::fixed, std::ios::floatfield);
    out.setf(std::ios::showpoint);
    out.precision(8);
    out << point.Tag << ", " << point.Latitude << ", " << point.Longitude << ", " << when << ", ";
    out.precision(2);
    out.width(6);
    out << point.Heading << ", ";
    out.precision(5);
    out.width(8);
    out << point.Speed << ", " << point.Altitude;
    return out;
}

// The text ends at its first zero character, as a C string does.
bool GPL_Data_Point::ExtractFromString(std::string& text) {
    Tag = 0;
    Reserved1 = 0;
    Reserved2 = 0;
    Time = 0;
    Altitude = 0.0;
    Heading = 0.0;
    Speed = 0.0;
    Latitude = kNoPosition;
    Longitude = kNoPosition;

    char date[gpl::kDateTextWidth + 1] = {};
    char clock[gpl::kTimeTextWidth + 1] = {};
    const int items = gpl::ScanLineItems(text.c_str(), *this, date, clock);
    // Without Longitude the text holds no point.
    if (items < 4) {
        return false;
    }
    // A line with a position but no date text has no time stamp.
    if (items >= 5) {
        Time = LocalTimeStamp(date, clock);
    }
    return true;
}
