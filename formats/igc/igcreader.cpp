#include "igcreader.h"

#include <cstring>
#include <utility>

#include "row.h"
#include "tracktools/formats/timetext.h"

namespace formats {
namespace {

constexpr std::size_t kMaxLine = 256;

// `count` digits at `at` as a number; false when any is no digit.
bool Digits(std::string_view line, std::size_t at, std::size_t count, long& value) {
    if (at + count > line.size()) {
        return false;
    }
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (line[i] < '0' || line[i] > '9') {
            return false;
        }
        value = value * 10 + (line[i] - '0');
    }
    return true;
}

// An altitude of five characters: digits, or a minus and four digits.
bool Altitude(std::string_view line, std::size_t at, long& metres) {
    if (at + 5 <= line.size() && line[at] == '-') {
        if (!Digits(line, at + 1, 4, metres)) {
            return false;
        }
        metres = -metres;
        return true;
    }
    return Digits(line, at, 5, metres);
}

}  // namespace

IgcReader::IgcReader(std::unique_ptr<io::InputFile> file)
    : Reader(Format(&kIgcFormat), *file), file_(std::move(file)) {}

void IgcReader::Header(std::string_view line) {
    std::size_t at = 0;
    if (line.compare(0, 10, "HFDTEDATE:") == 0) {
        at = 10;
    } else if (line.compare(0, 5, "HFDTE") == 0) {
        at = 5;
    } else {
        return;
    }
    long day = 0;
    long month = 0;
    long year = 0;
    if (!Digits(line, at, 2, day) || !Digits(line, at + 2, 2, month) ||
        !Digits(line, at + 4, 2, year) || day < 1 || day > 31 || month < 1 || month > 12) {
        return;
    }
    year += year >= 80 ? 1900 : 2000;
    day_ = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400;
    dated_ = true;
    last_ = -1;
}

bool IgcReader::Fix(std::string_view line, track::Point& point) {
    long hours = 0, minutes = 0, seconds = 0;
    long lat_degrees = 0, lat_minutes = 0, lon_degrees = 0, lon_minutes = 0;
    long pressure = 0, gnss = 0;
    if (line.size() < 35 || !Digits(line, 1, 2, hours) || !Digits(line, 3, 2, minutes) ||
        !Digits(line, 5, 2, seconds) || !Digits(line, 7, 2, lat_degrees) ||
        !Digits(line, 9, 5, lat_minutes) || (line[14] != 'N' && line[14] != 'S') ||
        !Digits(line, 15, 3, lon_degrees) || !Digits(line, 18, 5, lon_minutes) ||
        (line[23] != 'E' && line[23] != 'W') || (line[24] != 'A' && line[24] != 'V') ||
        !Altitude(line, 25, pressure) || !Altitude(line, 30, gnss) || hours > 23 || minutes > 59 ||
        seconds > 59 || lat_minutes >= 60000 || lon_minutes >= 60000) {
        return false;
    }
    const double latitude =
        static_cast<double>(lat_degrees) + static_cast<double>(lat_minutes) / 60000.0;
    const double longitude =
        static_cast<double>(lon_degrees) + static_cast<double>(lon_minutes) / 60000.0;
    if (latitude > 90.0 || longitude > 180.0) {
        return false;
    }
    point.Reset();
    point.SetPosition(line[14] == 'S' ? -latitude : latitude,
                      line[23] == 'W' ? -longitude : longitude);
    if (line[24] == 'A') {
        point.Set(track::kElevation, static_cast<double>(gnss));
    } else {
        ++without_fix_;
    }
    pressure_ += pressure != 0 ? 1 : 0;
    const long of_day = hours * 3600 + minutes * 60 + seconds;
    if (dated_) {
        // A flight past midnight UTC goes on into the next day.
        if (last_ >= 0 && of_day < last_) {
            day_ += 86400;
        }
        last_ = of_day;
        point.SetTime(track::Instant::FromSeconds(day_ + of_day));
    } else {
        ++undated_;
    }
    point.tag = ++count_;
    point.begins_track = point.begins_segment = count_ == 1;
    return true;
}

bool IgcReader::Next(track::Point& point) {
    char buffer[kMaxLine];
    while (!Failed()) {
        if (file_->AtEnd() && file_->Size() == 0) {
            if (file_->Failed()) {
                Fail(file_->Error(), std::strerror(file_->Error()));
            }
            return false;
        }
        file_->ReadLine(buffer, sizeof buffer);
        std::string_view line(buffer);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            continue;
        }
        if (line[0] == 'H') {
            Header(line);
        } else if (line[0] == 'B') {
            if (Fix(line, point)) {
                return true;
            }
            ++unreadable_;
        }
    }
    return false;
}

std::vector<Tally> IgcReader::Tallies() const {
    return {
        {unreadable_, "B record that could not be read was skipped",
         "B records that could not be read were skipped", true},
        {without_fix_, "fix without a valid GNSS altitude was kept without elevation",
         "fixes without a valid GNSS altitude were kept without elevation", false},
        {undated_, "fix before any date was kept without a time",
         "fixes before any date were kept without a time", false},
        {pressure_, "pressure altitude was not kept", "pressure altitudes were not kept", false},
    };
}

}  // namespace formats
