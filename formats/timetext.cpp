#include "timetext.h"

#include "ascii.h"

namespace formats {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Reads `count` digits at `text[at]` into `value`; false when any is missing.
bool Digits(const char* text, std::size_t size, std::size_t& at, int count, unsigned& value) {
    value = 0;
    for (int i = 0; i < count; ++i, ++at) {
        if (at >= size || !IsDigit(text[at])) {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(text[at] - '0');
    }
    return true;
}

bool Expect(const char* text, std::size_t size, std::size_t& at, char c, char alternative = 0) {
    if (at < size && (text[at] == c || (alternative != 0 && text[at] == alternative))) {
        ++at;
        return true;
    }
    return false;
}

// The offset of local time from UTC, in seconds, from "Z", "+hh:mm", "+hhmm"
// or "+hh" at `at` to the end of the text; 0 when there is nothing there.
bool Offset(const char* text, std::size_t size, std::size_t at, std::int64_t& offset) {
    offset = 0;
    if (at == size) {
        return true;
    }
    if (Expect(text, size, at, 'Z', 'z')) {
        return at == size;
    }
    const bool east = text[at] == '+';
    if (!east && text[at] != '-') {
        return false;
    }
    ++at;
    unsigned hours = 0;
    unsigned minutes = 0;
    if (!Digits(text, size, at, 2, hours) || hours > 23) {
        return false;
    }
    if (at < size) {
        Expect(text, size, at, ':');
        if (!Digits(text, size, at, 2, minutes) || minutes > 59 || at != size) {
            return false;
        }
    }
    offset = (east ? 1 : -1) * static_cast<std::int64_t>(hours * 3600 + minutes * 60);
    return true;
}

}  // namespace

// The day count of a proleptic Gregorian date, after the well-known
// algorithm on eras of 400 years (146097 days each).
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto year_of_era = static_cast<unsigned>(year - era * 400);
    const unsigned day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned day_of_era =
        year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + static_cast<std::int64_t>(day_of_era) - 719468;
}

bool ValidDate(std::int64_t year, unsigned month, unsigned day) {
    static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) {
        return false;
    }
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

CivilTime CivilFromSeconds(std::int64_t seconds) {
    const std::int64_t days =
        (seconds >= 0 ? seconds : seconds - (kSecondsPerDay - 1)) / kSecondsPerDay;
    const auto second_of_day = static_cast<unsigned>(seconds - days * kSecondsPerDay);
    // The inverse of DaysFromCivil, on the same eras.
    const std::int64_t shifted = days + 719468;
    const std::int64_t era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
    const auto day_of_era = static_cast<unsigned>(shifted - era * 146097);
    const unsigned year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const unsigned day_of_year =
        day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const unsigned shifted_month = (5 * day_of_year + 2) / 153;
    CivilTime civil{};
    civil.day = day_of_year - (153 * shifted_month + 2) / 5 + 1;
    civil.month = shifted_month < 10 ? shifted_month + 3 : shifted_month - 9;
    civil.year = static_cast<unsigned>(year_of_era + era * 400 + (civil.month <= 2 ? 1 : 0));
    civil.hour = second_of_day / 3600;
    civil.minute = second_of_day / 60 % 60;
    civil.second = second_of_day % 60;
    return civil;
}

CivilTime CivilFromTime(std::uint32_t time) {
    return CivilFromSeconds(time);
}

namespace {

// "YYYY-MM-DDThh:mm:ss" of a civil time, 19 characters.
char* PutCivil(const CivilTime& civil, char* out) {
    const auto put = [&out](unsigned value, int width, char after) {
        for (int i = width - 1; i >= 0; --i) {
            out[i] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
        out += width;
        if (after != 0) {
            *out++ = after;
        }
    };
    put(civil.year, 4, '-');
    put(civil.month, 2, '-');
    put(civil.day, 2, 'T');
    put(civil.hour, 2, ':');
    put(civil.minute, 2, ':');
    put(civil.second, 2, 0);
    return out;
}

}  // namespace

void FormatUtcTime(std::uint32_t time, char* out) {
    *PutCivil(CivilFromTime(time), out) = 'Z';
}

std::size_t FormatUtcTime(track::Instant time, char* out) {
    char* end = PutCivil(CivilFromSeconds(time.Seconds()), out);
    auto fraction = static_cast<std::uint32_t>(time.Fraction());
    if (fraction != 0) {
        int digits = 9;
        for (; fraction % 10 == 0; fraction /= 10) {
            --digits;
        }
        *end++ = '.';
        for (int i = digits - 1; i >= 0; --i) {
            end[i] = static_cast<char>('0' + fraction % 10);
            fraction /= 10;
        }
        end += digits;
    }
    *end++ = 'Z';
    return static_cast<std::size_t>(end - out);
}

bool ParseIsoTime(const char* text, std::size_t size, std::int64_t& seconds,
                  std::uint32_t& nanoseconds) {
    // "YYYY-MM-DDThh:mm:ss": its separators and digits at their places.
    if (size < 19 || text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != 't') ||
        text[13] != ':' || text[16] != ':') {
        return false;
    }
    bool digits = true;
    const auto digit = [text, &digits](int at) {
        const unsigned value = static_cast<unsigned char>(text[at]) - static_cast<unsigned>('0');
        digits = digits && value <= 9;
        return value;
    };
    const unsigned year = digit(0) * 1000 + digit(1) * 100 + digit(2) * 10 + digit(3);
    const unsigned month = digit(5) * 10 + digit(6);
    const unsigned day = digit(8) * 10 + digit(9);
    const unsigned hour = digit(11) * 10 + digit(12);
    const unsigned minute = digit(14) * 10 + digit(15);
    const unsigned second = digit(17) * 10 + digit(18);
    if (!digits) {
        return false;
    }
    std::size_t at = 19;
    if (!ValidDate(year, month, day) || hour > 23 || minute > 59 || second > 60) {
        return false;
    }
    std::uint32_t fraction = 0;
    if (Expect(text, size, at, '.', ',')) {
        const std::size_t first = at;
        std::uint32_t scale = 100000000;
        for (; at < size && IsDigit(text[at]); ++at, scale /= 10) {
            fraction += scale * static_cast<std::uint32_t>(text[at] - '0');
        }
        if (at == first) {
            return false;
        }
    }
    std::int64_t offset = 0;
    if (!Offset(text, size, at, offset)) {
        return false;
    }
    seconds = DaysFromCivil(year, month, day) * kSecondsPerDay +
              std::int64_t{hour * 3600 + minute * 60 + second} - offset;
    nanoseconds = fraction;
    return true;
}

bool ParseIsoTime(const char* text, std::size_t size, std::int64_t& seconds) {
    std::uint32_t nanoseconds = 0;
    return ParseIsoTime(text, size, seconds, nanoseconds);
}

}  // namespace formats
