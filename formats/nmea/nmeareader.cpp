#include "nmeareader.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "row.h"
#include "tracktools/formats/ascii.h"
#include "tracktools/formats/timetext.h"
#include "tracktools/track/units.h"

namespace formats {
namespace {

constexpr std::size_t kMaxFields = 24;

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

// A finite number that fills the whole field.
bool ReadNumber(NumberReader& numbers, std::string_view field, double& value) {
    return numbers.Read(field, value) && std::isfinite(value);
}

// An empty field is 0.
bool ReadOptionalNumber(NumberReader& numbers, std::string_view field, double& value) {
    value = 0.0;
    return field.empty() || ReadNumber(numbers, field, value);
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

// "hhmmss" with an optional fraction: the second of the day, the
// nanoseconds of the fraction (digits past the ninth dropped), and the
// milliseconds of the day that pair an RMC with its GGA.
bool ReadTimeOfDay(std::string_view field, unsigned& second_of_day, std::uint32_t& nanoseconds,
                   std::uint64_t& millisecond) {
    unsigned hours = 0;
    unsigned minutes = 0;
    unsigned seconds = 0;
    if (!ReadDigits(field, 0, 2, hours) || !ReadDigits(field, 2, 2, minutes) ||
        !ReadDigits(field, 4, 2, seconds) || hours > 23 || minutes > 59 || seconds > 60) {
        return false;
    }
    nanoseconds = 0;
    if (field.size() > 6) {
        if (field[6] != '.') {
            return false;
        }
        std::uint32_t scale = 100000000;
        for (std::size_t i = 7; i < field.size(); ++i, scale /= 10) {
            if (!IsDigit(field[i])) {
                return false;
            }
            nanoseconds += scale * static_cast<std::uint32_t>(field[i] - '0');
        }
    }
    second_of_day = hours * 3600 + minutes * 60 + seconds;
    millisecond = std::uint64_t{second_of_day} * 1000 + nanoseconds / 1000000;
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
bool ReadAngle(NumberReader& numbers, std::string_view field, std::string_view hemisphere,
               char positive, char negative, double limit, double& degrees) {
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
        !ReadNumber(numbers, field.substr(integer_digits - 2), minutes) || minutes >= 60.0) {
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
    : Reader(Format(&kNmeaFormat), *file), file_(std::move(file)) {}

namespace {

// Where the first line end or "$" lies in `size` bytes; `size` for none.
std::size_t SentenceEnd(const unsigned char* data, std::size_t size) {
    for (const char end : {'\n', '\r', '$'}) {
        const void* found = std::memchr(data, end, size);
        if (found != nullptr) {
            size = static_cast<std::size_t>(static_cast<const unsigned char*>(found) - data);
        }
    }
    return size;
}

}  // namespace

bool NmeaReader::NextSentence(std::string_view& sentence) {
    file_->Skip(taken_);
    taken_ = 0;
    for (;;) {
        if (file_->Size() == 0 && !file_->More()) {
            return false;
        }
        const void* dollar = std::memchr(file_->Data(), '$', file_->Size());
        if (dollar == nullptr) {
            file_->Skip(file_->Size());
            continue;
        }
        file_->Skip(
            static_cast<std::size_t>(static_cast<const unsigned char*>(dollar) - file_->Data()) +
            1);
        // The sentence and its end lie together in the buffer, unless the
        // file ends first.
        file_->Want(kMaxSentence + 1);
        const unsigned char* const data = file_->Data();
        const std::size_t size = file_->Size();
        const std::size_t look = size < kMaxSentence + 1 ? size : kMaxSentence + 1;
        const std::size_t end = SentenceEnd(data, look);
        if (end < look || size <= kMaxSentence) {
            if (end == size && file_->Failed()) {
                return false;
            }
            sentence = std::string_view(reinterpret_cast<const char*>(data), end);
            // A line end is taken; a "$" starts the next sentence.
            taken_ = end + (end < size && data[end] != '$' ? 1 : 0);
            return true;
        }
        // Too long for a sentence: passed over to its end.
        file_->Skip(look);
        for (;;) {
            if (file_->Size() == 0 && !file_->More()) {
                return false;
            }
            const std::size_t skipped = SentenceEnd(file_->Data(), file_->Size());
            if (skipped < file_->Size()) {
                file_->Skip(skipped + (file_->Data()[skipped] != '$' ? 1 : 0));
                break;
            }
            file_->Skip(skipped);
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
    if (fields[2] != "A" ||
        !ReadTimeOfDay(fields[1], second_of_day, fix.nanoseconds, fix.time_of_day) ||
        !ReadAngle(numbers_, fields[3], fields[4], 'N', 'S', 90.0, fix.record.Latitude) ||
        !ReadAngle(numbers_, fields[5], fields[6], 'E', 'W', 180.0, fix.record.Longitude) ||
        !ReadOptionalNumber(numbers_, fields[7], knots) ||
        !ReadOptionalNumber(numbers_, fields[8], fix.record.Heading) ||
        !ReadDate(fields[9], days)) {
        ++malformed_;
        return;
    }
    fix.record.Time = static_cast<std::uint32_t>(days * 86400 + second_of_day);
    fix.record.Speed = track::MphFromKnots(knots);
    if (waiting_) {
        Hand(fix_, nullptr);
        waiting_ = false;
    }
    // The GGA of this fix came first, or may come next.
    if (gga_known_ && gga_time_of_day_ == fix.time_of_day) {
        Hand(fix, gga_has_altitude_ ? &gga_meters_ : nullptr);
    } else {
        fix_ = fix;
        waiting_ = true;
    }
}

// $--GGA,time,lat,N/S,lon,E/W,quality,satellites,hdop,altitude,M,separation,M,age,station
void NmeaReader::Gga(const std::string_view* fields, std::size_t count) {
    unsigned second_of_day = 0;
    std::uint32_t nanoseconds = 0;
    std::uint64_t time_of_day = 0;
    if (count < 2 || !ReadTimeOfDay(fields[1], second_of_day, nanoseconds, time_of_day)) {
        return;
    }
    double meters = 0.0;
    const bool has_altitude = count > 10 && !fields[6].empty() && fields[6] != "0" &&
                              fields[10] == "M" && ReadNumber(numbers_, fields[9], meters);
    if (waiting_) {
        Hand(fix_, fix_.time_of_day == time_of_day && has_altitude ? &meters : nullptr);
        waiting_ = false;
    }
    gga_known_ = true;
    gga_time_of_day_ = time_of_day;
    gga_has_altitude_ = has_altitude;
    gga_meters_ = meters;
}

void NmeaReader::Hand(const Fix& fix, const double* meters) {
    Ready& ready = ready_[ready_count_++];
    ready.fix = fix;
    ready.fix.record.Altitude = meters != nullptr ? track::FeetFromMeters(*meters) : 0.0;
    ready.fix.record.Tag = ++count_;
    ready.has_altitude = meters != nullptr;
    ready.meters = meters != nullptr ? *meters : 0.0;
}

bool NmeaReader::Next(track::Point& point) {
    for (;;) {
        if (ready_next_ < ready_count_) {
            const Ready& ready = ready_[ready_next_++];
            if (ready_next_ == ready_count_) {
                ready_next_ = ready_count_ = 0;
            }
            // The record as the GPL form of the fix, which a GPL writer
            // writes back as it is; the point keeps what the record cannot.
            point.Reset();
            track::FromRecord(ready.fix.record, point);
            if (ready.has_altitude) {
                point.Set(track::kElevation, ready.meters);
            } else {
                point.Clear(track::kElevation);
            }
            point.SetTime(track::Instant::FromNanoseconds(
                track::Instant::FromSeconds(ready.fix.record.Time).Nanoseconds() +
                ready.fix.nanoseconds));
            point.begins_segment = point.begins_track = ready.fix.record.Tag == 1;
            return true;
        }
        if (Failed()) {
            return false;
        }
        std::string_view sentence;
        if (NextSentence(sentence)) {
            Use(sentence);
            continue;
        }
        if (file_->Failed()) {
            Fail(file_->Error(), std::strerror(file_->Error()));
            return false;
        }
        if (!waiting_) {
            return false;
        }
        Hand(fix_, nullptr);
        waiting_ = false;
    }
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
