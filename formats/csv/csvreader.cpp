#include "csvreader.h"

#include <cstring>
#include <string_view>
#include <utility>

#include "row.h"
#include "tracktools/formats/ascii.h"
#include "tracktools/formats/tallies.h"
#include "tracktools/formats/timetext.h"
#include "tracktools/track/sport.h"

namespace formats {
namespace {

const char* const kNames[] = {
    "time",   "latitude", "longitude",      "altitude_ft", "heading_deg", "speed_mph",
    "tag",    "segment",  "heart_rate_bpm", "cadence_rpm", "power_w",     "temperature_c",
    "kind",   "track",    "track_name",     "name",        "description", "comment",
    "symbol", "type",     "link",           "lap",         "sport",       "sub_sport"};

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool ReadWhole(std::string_view text, std::uint32_t& whole) {
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > 0xFFFFFFFFu) {
            return false;
        }
    }
    whole = static_cast<std::uint32_t>(value);
    return true;
}

}  // namespace

CsvReader::CsvReader(std::unique_ptr<io::InputFile> file)
    : Reader(Format(&kCsvFormat), *file), file_(std::move(file)) {
    for (unsigned column = kTrackName; column <= kLink; ++column) {
        values_[column].limit = kMaxText;
    }
    // Spreadsheets put a byte-order mark in front of UTF-8.
    if (file_->Want(3) && std::memcmp(file_->Data(), "\xEF\xBB\xBF", 3) == 0) {
        file_->Skip(3);
    }
}

bool CsvReader::Error(const std::string& reason, std::uint64_t line) {
    Fail(0, reason, {line, 0});
    return false;
}

void CsvReader::Append(char c) {
    ++field_length_;
    Value* value = nullptr;
    if (!have_header_) {
        value = &values_[kKnownColumns];
    } else if (fields_ < columns_.size() && columns_[fields_] != kIgnored) {
        value = &values_[columns_[fields_]];
    }
    if (value == nullptr) {
        return;
    }
    if (value->text.size() < value->limit) {
        value->text.push_back(c);
    } else {
        value->overflow = true;
    }
}

bool CsvReader::EndField() {
    if (!have_header_) {
        if (columns_.size() == kMaxColumns) {
            return Error("more than " + std::to_string(kMaxColumns) + " columns", record_line_);
        }
        Value& name = values_[kKnownColumns];
        const std::string_view text = Trim(name.text);
        Column column = kIgnored;
        for (unsigned known = 0; known < kKnownColumns && !name.overflow; ++known) {
            if (SameInAnyCase(text, kNames[known])) {
                column = static_cast<Column>(known);
            }
        }
        if (column != kIgnored && present_[column]) {
            return Error(std::string("column ") + kNames[column] + " is named twice", record_line_);
        }
        if (column != kIgnored) {
            present_[column] = true;
        }
        columns_.push_back(column);
        name.text.clear();
        name.overflow = false;
    }
    ++fields_;
    field_length_ = 0;
    field_quoted_ = false;
    return true;
}

bool CsvReader::ReadLine() {
    bool in_quotes = false;
    bool closed = false;  // a quoted field's closing quote was the last character
    bool any = false;     // the line holds anything but line ends
    std::uint64_t quote_line = 0;
    const auto start_line = [&]() {
        record_line_ = line_;
        fields_ = 0;
        field_length_ = 0;
        field_quoted_ = false;
        for (Value& value : values_) {
            value.text.clear();
            value.overflow = false;
            value.quoted = false;
        }
    };
    start_line();
    // The bytes are read where they lie in the file's buffer; those taken
    // are given back to it when the line ends, or when it needs refilling.
    const unsigned char* data = file_->Data();
    std::size_t size = file_->Size();
    std::size_t at = 0;
    struct Taken {
        io::InputFile& file;
        std::size_t& at;
        ~Taken() { file.Skip(at); }
    } taken{*file_, at};
    for (;;) {
        if (at == size) {
            file_->Skip(at);
            at = 0;
            if (!file_->More()) {
                if (file_->Failed()) {
                    Fail(file_->Error(), std::strerror(file_->Error()));
                    return false;
                }
                if (in_quotes) {
                    return Error("a quoted field without its closing quote", quote_line);
                }
                // A last line without its line end is a line all the same.
                return any && EndField();
            }
            data = file_->Data();
            size = file_->Size();
        }
        const char c = static_cast<char>(data[at++]);
        if (in_quotes) {
            if (c == '"') {
                in_quotes = false;
                closed = true;
            } else {
                line_ += c == '\n' ? 1 : 0;
                Append(c);
            }
            continue;
        }
        if (c == '\r') {
            continue;  // of a CR LF line end; a CR alone means nothing in CSV
        }
        if (closed) {
            closed = false;
            if (c == '"') {  // "" inside a quoted field
                Append('"');
                in_quotes = true;
                continue;
            }
            if (c != ',' && c != '\n') {
                return Error("text after the closing quote of a field", line_);
            }
        }
        if (c == '\n') {
            ++line_;
            if (any) {
                return EndField();
            }
            start_line();  // an empty line
            continue;
        }
        any = true;
        if (c == ',') {
            if (!EndField()) {
                return false;
            }
        } else if (c == '"' && field_length_ == 0 && !field_quoted_) {
            in_quotes = true;
            field_quoted_ = true;
            quote_line = line_;
            if (have_header_ && fields_ < columns_.size() && columns_[fields_] != kIgnored) {
                values_[columns_[fields_]].quoted = true;
            }
        } else {
            Append(c);
        }
    }
}

bool CsvReader::Header() {
    if (!ReadLine()) {
        return Failed() ? false : Error("no header line: the file is empty", 1);
    }
    if (!present_[kLatitude] || !present_[kLongitude]) {
        return Error("no header line: the first line names no latitude and longitude columns",
                     record_line_);
    }
    have_header_ = true;
    return true;
}

bool CsvReader::Point(track::Point& point) {
    if (fields_ != columns_.size()) {
        return Error(std::to_string(fields_) + " fields, but the header has " +
                         std::to_string(columns_.size()),
                     record_line_);
    }
    GPL_Data_Point record;
    double numbers[kKnownColumns] = {};
    bool empty[kKnownColumns] = {};
    std::int64_t seconds = 0;
    std::uint32_t nanoseconds = 0;
    std::uint32_t segment = 0;
    for (unsigned column = 0; column < kKind; ++column) {
        const Value& value = values_[column];
        const std::string_view text = Trim(value.text);
        empty[column] = text.empty() && !value.overflow;
        if (empty[column]) {
            continue;
        }
        bool read = !value.overflow;
        if (read && column == kTime) {
            read = ParseIsoTime(text.data(), text.size(), seconds, nanoseconds);
        } else if (read && column == kTag) {
            read = ReadWhole(text, record.Tag);
        } else if (read && column == kSegment) {
            read = ReadWhole(text, segment);
        } else if (read) {
            read = numbers_.Read(text, numbers[column]);
        }
        if (!read) {
            const char* what = column == kTime ? "is not a date and time"
                               : column == kTag || column == kSegment
                                   ? "is not a whole number from 0 to 4294967295"
                                   : "is not a number";
            return Error(std::string(kNames[column]) + " " + what + ": \"" + std::string(text) +
                             (value.overflow ? "...\"" : "\""),
                         record_line_);
        }
    }
    record.Latitude = numbers[kLatitude];
    record.Longitude = numbers[kLongitude];
    record.Altitude = numbers[kAltitude];
    record.Heading = numbers[kHeading];
    record.Speed = numbers[kSpeed];
    const bool has_time = !empty[kTime];
    record.Time =
        has_time && track::FitsTimeStamp(seconds) ? static_cast<std::uint32_t>(seconds) : 0;

    point.Reset();
    track::FromRecord(record, point);
    point.Clear(track::kTime);
    if (has_time && track::KeepsTime(seconds)) {
        point.SetTime(track::Instant::FromNanoseconds(
            seconds * track::Instant::kNanosecondsPerSecond + nanoseconds));
    } else if (has_time) {
        ++time_out_of_range_;
    }
    const struct {
        Column column;
        track::Field field;
    } kept[] = {
        {kAltitude, track::kElevation},     {kHeading, track::kCourse},  {kSpeed, track::kSpeed},
        {kHeartRate, track::kHeartRate},    {kCadence, track::kCadence}, {kPower, track::kPower},
        {kTemperature, track::kTemperature}};
    for (const auto& value : kept) {
        if (empty[value.column]) {
            point.Clear(value.field);
        } else if (value.column >= kHeartRate) {
            point.Set(value.field, numbers[value.column]);
        }
    }
    if (empty[kLatitude] || empty[kLongitude]) {
        point.Clear(track::kPosition);
    }
    point.begins_track = point.begins_segment = count_++ == 0;
    if (!empty[kSegment]) {
        point.begins_segment = point.begins_segment || (segment_known_ && segment != segment_);
        segment_known_ = true;
        segment_ = segment;
    }
    return Kinds(point);
}

bool CsvReader::Kinds(track::Point& point) {
    const auto text = [this](Column column) {
        const Value& value = values_[column];
        return value.quoted ? std::string_view(value.text) : Trim(value.text);
    };
    const auto bad = [this, &text](Column column, const char* what) {
        return Error(
            std::string(kNames[column]) + " " + what + ": \"" + std::string(text(column)) + "\"",
            record_line_);
    };
    static const char* const kKinds[] = {"track", "route", "waypoint"};
    track::Kind kind = track::Kind::kTrack;
    if (!text(kKind).empty()) {
        unsigned known = 0;
        while (known < 3 && !SameInAnyCase(text(kKind), kKinds[known])) {
            ++known;
        }
        if (known == 3) {
            return bad(kKind, "is not track, route or waypoint");
        }
        kind = static_cast<track::Kind>(known);
    }
    point.kind = kind;
    std::uint32_t numbers[3] = {};  // track, lap, sub_sport
    const Column wholes[3] = {kTrack, kLap, kSubSport};
    for (int i = 0; i < 3; ++i) {
        if (!text(wholes[i]).empty() && !ReadWhole(text(wholes[i]), numbers[i])) {
            return bad(wholes[i], "is not a whole number from 0 to 4294967295");
        }
    }
    for (unsigned column = kTrackName; column <= kLink; ++column) {
        texts_cut_ += values_[column].overflow ? 1 : 0;
    }
    for (unsigned column = kName; column <= kLink; ++column) {
        point.texts.Set(static_cast<track::Text>(column - kName),
                        text(static_cast<Column>(column)));
    }
    if (kind == track::Kind::kWaypoint) {
        point.begins_track = point.begins_segment = false;
        --count_;  // the first track point begins the track
        point.track = numbers[0];
        return true;
    }
    const bool has_track = !text(kTrack).empty();
    if (has_track) {
        point.track = numbers[0];
        const bool new_track = !track_known_ || numbers[0] != track_ || kind != kind_;
        point.begins_track = point.begins_track || new_track;
        point.begins_segment = point.begins_segment || new_track;
        track_known_ = true;
        track_ = numbers[0];
    } else if (kind != kind_) {
        point.begins_track = point.begins_segment = true;
    }
    kind_ = kind;
    if (point.begins_track) {
        point.track_name = text(kTrackName);
    }
    const std::uint32_t lap = text(kLap).empty() ? 0 : numbers[1];
    point.begins_lap = lap != lap_;
    lap_ = lap;
    const std::string_view sport = text(kSport);
    if (!sport.empty()) {
        std::uint32_t number = 0;
        const std::uint8_t named = track::SportNamed(sport);
        if (named == track::kUnknownSport && (!ReadWhole(sport, number) || number > 255)) {
            return bad(kSport, "is not a sport");
        }
        point.begins_session = true;
        point.sport = named != track::kUnknownSport ? named : static_cast<std::uint8_t>(number);
        if (numbers[2] > 255) {
            return bad(kSubSport, "is not a whole number from 0 to 255");
        }
        point.sub_sport = static_cast<std::uint8_t>(numbers[2]);
    }
    return true;
}

bool CsvReader::Next(track::Point& point) {
    if (Failed() || (!have_header_ && !Header())) {
        return false;
    }
    return ReadLine() && Point(point);
}

std::vector<Tally> CsvReader::Tallies() const {
    static_assert(kMaxText == 1024, "the words of the tally name the length");
    return {TimeNotKept(time_out_of_range_),
            {texts_cut_, "text longer than 1024 bytes was cut there",
             "texts longer than 1024 bytes were cut there", false}};
}

}  // namespace formats
