#include "timearg.h"

#include <ctime>

#include "tracktools/formats/timetext.h"

namespace trackedit {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Reads exactly `count` digits at `at`.
bool Digits(const std::string& text, std::size_t& at, int count, int& value) {
    value = 0;
    for (int i = 0; i < count; ++i, ++at) {
        if (at >= text.size() || text[at] < '0' || text[at] > '9') {
            return false;
        }
        value = value * 10 + (text[at] - '0');
    }
    return true;
}

// Up to nine digits after the point, as nanoseconds; at least one.
bool Fraction(const std::string& text, std::size_t& at, std::int64_t& nanoseconds) {
    nanoseconds = 0;
    int count = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, ++count) {
        if (count == 9) {
            return false;
        }
        nanoseconds = nanoseconds * 10 + (text[at] - '0');
    }
    for (int i = count; i < 9; ++i) {
        nanoseconds *= 10;
    }
    return count > 0;
}

// The seconds since 1970 of a local time in the zone TZ names: the earlier
// of the instants that show it, false when none does.
bool FromLocal(int year, int month, int day, int hour, int minute, int second,
               std::int64_t& seconds) {
    bool found = false;
    for (const int dst : {0, 1}) {
        std::tm wanted{};
        wanted.tm_year = year - 1900;
        wanted.tm_mon = month - 1;
        wanted.tm_mday = day;
        wanted.tm_hour = hour;
        wanted.tm_min = minute;
        wanted.tm_sec = second;
        wanted.tm_isdst = dst;
        const std::time_t candidate = std::mktime(&wanted);
        std::tm shown{};
        if (localtime_r(&candidate, &shown) == nullptr || shown.tm_year != year - 1900 ||
            shown.tm_mon != month - 1 || shown.tm_mday != day || shown.tm_hour != hour ||
            shown.tm_min != minute || shown.tm_sec != second) {
            continue;
        }
        if (!found || candidate < seconds) {
            seconds = candidate;
        }
        found = true;
    }
    return found;
}

}  // namespace

bool ParseTime(const std::string& text, track::Instant& instant, std::string& problem) {
    problem = "\"" + text + "\" is not a time like 2019-05-01T06:30:00+02:00";
    std::size_t at = 0;
    int year, month, day, hour = 0, minute = 0, second = 0;
    std::int64_t fraction = 0;
    if (!Digits(text, at, 4, year) || text.compare(at, 1, "-") != 0 ||
        !Digits(text, ++at, 2, month) || text.compare(at, 1, "-") != 0 ||
        !Digits(text, ++at, 2, day)) {
        return false;
    }
    const bool has_clock =
        at < text.size() && (text[at] == 'T' || text[at] == 't' || text[at] == ' ');
    if (has_clock) {
        if (!Digits(text, ++at, 2, hour) || text.compare(at, 1, ":") != 0 ||
            !Digits(text, ++at, 2, minute)) {
            return false;
        }
        if (at < text.size() && text[at] == ':') {
            if (!Digits(text, ++at, 2, second)) {
                return false;
            }
            if (at < text.size() && (text[at] == '.' || text[at] == ',') &&
                !Fraction(text, ++at, fraction)) {
                return false;
            }
        }
    }
    bool has_offset = false;
    int offset_minutes = 0;
    if (has_clock && at < text.size()) {
        has_offset = true;
        if (text[at] == 'Z' || text[at] == 'z') {
            ++at;
        } else if (text[at] == '+' || text[at] == '-') {
            const int sign = text[at] == '-' ? -1 : 1;
            int hours, minutes = 0;
            if (!Digits(text, ++at, 2, hours)) {
                return false;
            }
            if (at < text.size() && text[at] == ':') {
                ++at;
            }
            if (at < text.size() && !Digits(text, at, 2, minutes)) {
                return false;
            }
            if (hours > 23 || minutes > 59) {
                return false;
            }
            offset_minutes = sign * (hours * 60 + minutes);
        }
    }
    if (at != text.size()) {
        return false;
    }
    if (!formats::ValidDate(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) ||
        hour > 23 || minute > 59 || second > 59) {
        problem = "\"" + text + "\" names a date or time of day that does not exist";
        return false;
    }
    if (year < 1900 || year > 2200) {
        problem = "\"" + text + "\" is outside the years 1900 to 2200";
        return false;
    }
    std::int64_t seconds = 0;
    if (has_offset) {
        seconds = formats::DaysFromCivil(year, month, day) * kSecondsPerDay +
                  std::int64_t{hour} * 3600 + std::int64_t{minute} * 60 + second -
                  std::int64_t{offset_minutes} * 60;
    } else if (!FromLocal(year, month, day, hour, minute, second, seconds)) {
        problem = "\"" + text + "\" does not exist in the local time zone (TZ)";
        return false;
    }
    if (!track::KeepsTime(seconds)) {
        problem = "\"" + text + "\" is outside the years 1900 to 2200";
        return false;
    }
    instant =
        track::Instant::FromNanoseconds(seconds * track::Instant::kNanosecondsPerSecond + fraction);
    problem.clear();
    return true;
}

bool ParseSeconds(const std::string& text, std::int64_t limit, std::int64_t& nanoseconds) {
    std::size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    at += negative || (!text.empty() && text[0] == '+') ? 1 : 0;
    std::int64_t whole = 0;
    int digits = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, ++digits) {
        whole = whole * 10 + (text[at] - '0');
        if (whole > limit) {
            return false;
        }
    }
    std::int64_t fraction = 0;
    if (at < text.size() && text[at] == '.') {
        ++at;
        if (at == text.size() && digits > 0) {
            fraction = 0;
        } else if (!Fraction(text, at, fraction)) {
            return false;
        }
        digits = 1;
    }
    if (digits == 0 || at != text.size() || (whole == limit && fraction > 0)) {
        return false;
    }
    nanoseconds = whole * track::Instant::kNanosecondsPerSecond + fraction;
    nanoseconds = negative ? -nanoseconds : nanoseconds;
    return true;
}

std::int64_t LocalDay(track::Instant instant) {
    const std::time_t seconds = instant.Seconds();
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) {
        return seconds / kSecondsPerDay;
    }
    return formats::DaysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                  static_cast<unsigned>(local.tm_mday));
}

}  // namespace trackedit
