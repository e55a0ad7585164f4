#include "nmeareader.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

#include "timetext.h"
#include "units.h"

namespace formats {
namespace {

constexpr std::size_t kChunk = 1 << 16;
constexpr std::size_t kMaxFields = 24;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// A number that fills the whole field.
bool ReadNumber(std::string_view field, double& value) {
    const char* end = field.data() + field.size();
    const std::from_chars_result result = std::from_chars(field.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

// An empty field is 0.
bool ReadOptionalNumber(std::string_view field, double& value) {
    value = 0.0;
    return field.empty() || ReadNumber(field, value);
}

bool ReadDigits(std::string_view field, std::size_t at, std::size_t count, unsigned& value) {
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (i >= field.size() || !IsDigit(field[i])) {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(field[i] - '0');
    }
    return true;
}

// "hhmmss" with an optional fraction: the second of the day, and the
// milliseconds of the day that pair an RMC with its GGA.
bool ReadTimeOfDay(std::string_view field, unsigned& second_of_day, std::uint64_t& millisecond) {
    unsigned hours = 0;
    unsigned minutes = 0;
    unsigned seconds = 0;
    if (!ReadDigits(field, 0, 2, hours) || !ReadDigits(field, 2, 2, minutes) ||
        !ReadDigits(field, 4, 2, seconds) || hours > 23 || minutes > 59 || seconds > 60) {
        return false;
    }
    unsigned thousandths = 0;
    if (field.size() > 6) {
        if (field[6] != '.') {
            return false;
        }
        unsigned scale = 100;
        for (std::size_t i = 7; i < field.size(); ++i, scale /= 10) {
            if (!IsDigit(field[i])) {
                return false;
            }
            thousandths += scale * static_cast<unsigned>(field[i] - '0');
        }
    }
    second_of_day = hours * 3600 + minutes * 60 + seconds;
    millisecond = std::uint64_t{second_of_day} * 1000 + thousandths;
    return true;
}

// "ddmmyy": days since 1970.
bool ReadDate(std::string_view field, std::int64_t& days) {
    unsigned day = 0;
    unsigned month = 0;
    unsigned year = 0;
    if (field.size() != 6 || !ReadDigits(field, 0, 2, day) || !ReadDigits(field, 2, 2, month) ||
        !ReadDigits(field, 4, 2, year)) {
        return false;
    }
    year += year >= 80 ? 1900 : 2000;
    if (!ValidDate(year, month, day)) {
        return false;
    }
    days = DaysFromCivil(year, month, day);
    return true;
}

// "ddmm.mmmm" (or "dddmm.mmmm") and its hemisphere: signed degrees, no more
// than `limit` away from 0.
bool ReadAngle(std::string_view field, std::string_view hemisphere, char positive, char negative,
               double limit, double& degrees) {
    const std::size_t point = field.find('.');
    const std::size_t integer_digits = point == std::string_view::npos ? field.size() : point;
    if (integer_digits < 3 || integer_digits > 5 || hemisphere.size() != 1 ||
        (hemisphere[0] != positive && hemisphere[0] != negative)) {
        return false;
    }
    unsigned whole_degrees = 0;
    double minutes = 0.0;
    if (!ReadDigits(field, 0, integer_digits - 2, whole_degrees) ||
        !IsDigit(field[integer_digits - 2]) ||
        !ReadNumber(field.substr(integer_digits - 2), minutes) || minutes >= 60.0) {
        return false;
    }
    degrees = whole_degrees + minutes / 60.0;
    if (degrees > limit) {
        return false;
    }
    degrees = hemisphere[0] == negative ? -degrees : degrees;
    return true;
}

}  // namespace

NmeaReader::NmeaReader(std::unique_ptr<io::InputFile> file)
    : Reader(Format::Named("nmea"), *file),
      file_(std::move(file)),
      chunk_(std::make_unique<unsigned char[]>(kChunk)) {}

bool NmeaReader::NextSentence() {
    bool collecting = false;
    bool overflow = false;
    for (;;) {
        if (at_ == size_) {
            at_ = 0;
            size_ = file_->ReadBytes(chunk_.get(), kChunk);
            if (size_ == 0) {
                // A last line without its line end still holds a sentence.
                return collecting && !overflow && !file_->Failed();
            }
        }
        const unsigned char* const start = chunk_.get() + at_;
        const std::size_t available = size_ - at_;
        if (!collecting) {
            const void* dollar = std::memchr(start, '$', available);
            if (dollar == nullptr) {
                at_ = size_;
                continue;
            }
            at_ += static_cast<std::size_t>(static_cast<const unsigned char*>(dollar) - start) + 1;
            collecting = true;
            overflow = false;
            length_ = 0;
            continue;
        }
        // The sentence runs to the line end or to the next "$".
        std::size_t taken = available;
        for (const char end : {'\n', '\r', '$'}) {
            const void* found = std::memchr(start, end, taken);
            if (found != nullptr) {
                taken = static_cast<std::size_t>(static_cast<const unsigned char*>(found) - start);
            }
        }
        const std::size_t room = kMaxSentence - length_;
        const std::size_t copied = taken < room ? taken : room;
        std::memcpy(sentence_ + length_, start, copied);
        length_ += copied;
        overflow = overflow || copied < taken;
        at_ += taken;
        if (taken < available) {
            // A line end is taken; a "$" starts the next sentence.
            if (start[taken] != '$') {
                ++at_;
            }
            if (!overflow) {
                return true;
            }
            collecting = false;
        }
    }
}

void NmeaReader::Use(std::string_view sentence) {
    // The address: a talker of two characters and a type of three.
    if (sentence.size() < 5 || (sentence.size() > 5 && sentence[5] != ',' && sentence[5] != '*')) {
        return;
    }
    for (std::size_t i = 0; i < 5; ++i) {
        const char c = sentence[i];
        if (!IsDigit(c) && (c < 'A' || c > 'Z')) {
            return;
        }
    }
    const std::size_t star = sentence.find('*');
    if (star != std::string_view::npos) {
        unsigned sum = 0;
        for (std::size_t i = 0; i < star; ++i) {
            sum ^= static_cast<unsigned char>(sentence[i]);
        }
        const int high = star + 1 < sentence.size() ? HexDigit(sentence[star + 1]) : -1;
        const int low = star + 2 < sentence.size() ? HexDigit(sentence[star + 2]) : -1;
        if (high < 0 || low < 0 || static_cast<unsigned>(high * 16 + low) != sum) {
            ++bad_checksums_;
            return;
        }
        sentence = sentence.substr(0, star);
    }
    const std::string_view type = sentence.substr(2, 3);
    if (type != "RMC" && type != "GGA") {
        return;
    }
    std::string_view fields[kMaxFields];
    std::size_t count = 0;
    for (std::size_t from = 0; count < kMaxFields; ++count) {
        const std::size_t comma = sentence.find(',', from);
        fields[count] =
            sentence.substr(from, comma == std::string_view::npos ? comma : comma - from);
        if (comma == std::string_view::npos) {
            ++count;
            break;
        }
        from = comma + 1;
    }
    if (type == "RMC") {
        Rmc(fields, count);
    } else {
        Gga(fields, count);
    }
}

// $--RMC,time,status,lat,N/S,lon,E/W,knots,course,date,variation,E/W[,mode[,status]]
void NmeaReader::Rmc(const std::string_view* fields, std::size_t count) {
    if (count < 10) {
        ++malformed_;
        return;
    }
    const std::string_view mode = count > 12 ? fields[12] : std::string_view();
    if (fields[2] == "V" || mode == "N") {
        ++without_fix_;
        return;
    }
    Fix fix;
    unsigned second_of_day = 0;
    std::int64_t days = 0;
    double knots = 0.0;
    if (fields[2] != "A" || !ReadTimeOfDay(fields[1], second_of_day, fix.time_of_day) ||
        !ReadAngle(fields[3], fields[4], 'N', 'S', 90.0, fix.point.Latitude) ||
        !ReadAngle(fields[5], fields[6], 'E', 'W', 180.0, fix.point.Longitude) ||
        !ReadOptionalNumber(fields[7], knots) ||
        !ReadOptionalNumber(fields[8], fix.point.Heading) || !ReadDate(fields[9], days)) {
        ++malformed_;
        return;
    }
    fix.point.Time = static_cast<std::uint32_t>(days * 86400 + second_of_day);
    fix.point.Speed = MphFromKnots(knots);
    if (waiting_) {
        Hand(fix_, 0.0);
        waiting_ = false;
    }
    // The GGA of this fix came first, or may come next.
    if (gga_known_ && gga_time_of_day_ == fix.time_of_day) {
        Hand(fix, gga_altitude_feet_);
    } else {
        fix_ = fix;
        waiting_ = true;
    }
}

// $--GGA,time,lat,N/S,lon,E/W,quality,satellites,hdop,altitude,M,separation,M,age,station
void NmeaReader::Gga(const std::string_view* fields, std::size_t count) {
    unsigned second_of_day = 0;
    std::uint64_t time_of_day = 0;
    if (count < 2 || !ReadTimeOfDay(fields[1], second_of_day, time_of_day)) {
        return;
    }
    double altitude_feet = 0.0;
    double meters = 0.0;
    if (count > 10 && !fields[6].empty() && fields[6] != "0" && fields[10] == "M" &&
        ReadNumber(fields[9], meters)) {
        altitude_feet = FeetFromMeters(meters);
    }
    if (waiting_) {
        Hand(fix_, fix_.time_of_day == time_of_day ? altitude_feet : 0.0);
        waiting_ = false;
    }
    gga_known_ = true;
    gga_time_of_day_ = time_of_day;
    gga_altitude_feet_ = altitude_feet;
}

void NmeaReader::Hand(const Fix& fix, double altitude_feet) {
    GPL_Data_Point& point = ready_[ready_count_++];
    point = fix.point;
    point.Altitude = altitude_feet;
    point.Tag = ++count_;
}

bool NmeaReader::NextRecord(GPL_Data_Point& point) {
    for (;;) {
        if (ready_next_ < ready_count_) {
            point = ready_[ready_next_++];
            if (ready_next_ == ready_count_) {
                ready_next_ = ready_count_ = 0;
            }
            return true;
        }
        if (Failed()) {
            return false;
        }
        if (NextSentence()) {
            Use(std::string_view(sentence_, length_));
            continue;
        }
        if (file_->Failed()) {
            Fail(file_->Error(), std::strerror(file_->Error()));
            return false;
        }
        if (!waiting_) {
            return false;
        }
        Hand(fix_, 0.0);
        waiting_ = false;
    }
}

bool NmeaReader::Next(track::Point& point) {
    GPL_Data_Point record;
    if (!NextRecord(record)) {
        return false;
    }
    track::FromRecord(record, point);
    point.begins_segment = point.begins_track = record.Tag == 1;
    point.track = 0;
    point.track_name.clear();
    return true;
}

std::vector<Tally> NmeaReader::Tallies() const {
    return {
        {bad_checksums_, "sentence with a bad checksum was skipped",
         "sentences with a bad checksum were skipped", true},
        {malformed_, "malformed RMC sentence was skipped", "malformed RMC sentences were skipped",
         true},
        {without_fix_, "RMC sentence without a valid fix was skipped",
         "RMC sentences without a valid fix were skipped", true},
    };
}

}  // namespace formats
