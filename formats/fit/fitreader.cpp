#include "fitreader.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "row.h"

namespace formats {
namespace {

// FIT times count from 1989-12-31T00:00:00Z.
constexpr std::int64_t kFitEpoch = 631065600;

// The CRC-16 of FIT files. The table of a byte is made from the nibble
// table of the format, two nibble steps per byte; tables of a byte followed
// by one, two and three zero bytes take four bytes at a time.
constexpr std::uint16_t kCrcNibbles[16] = {0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00,
                                           0x2800, 0xE401, 0xA001, 0x6C00, 0x7800, 0xB401,
                                           0x5000, 0x9C01, 0x8801, 0x4400};

constexpr std::uint16_t CrcNibble(std::uint16_t crc, unsigned nibble) {
    const std::uint16_t low = kCrcNibbles[crc & 0xF];
    crc = static_cast<std::uint16_t>((crc >> 4) & 0x0FFF);
    return static_cast<std::uint16_t>(crc ^ low ^ kCrcNibbles[nibble & 0xF]);
}

using CrcTables = std::array<std::array<std::uint16_t, 256>, 4>;

constexpr CrcTables MakeCrcTables() {
    CrcTables tables{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        tables[0][byte] = CrcNibble(CrcNibble(0, byte), byte >> 4);
    }
    for (std::size_t k = 1; k < 4; ++k) {
        for (unsigned byte = 0; byte < 256; ++byte) {
            const std::uint16_t before = tables[k - 1][byte];
            tables[k][byte] = static_cast<std::uint16_t>((before >> 8) ^ tables[0][before & 0xFF]);
        }
    }
    return tables;
}
constexpr CrcTables kCrcTables = MakeCrcTables();

constexpr std::uint16_t Crc(std::uint16_t crc, const unsigned char* bytes, std::size_t size) {
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        const unsigned low = crc ^ (bytes[i] | bytes[i + 1] << 8);
        crc = static_cast<std::uint16_t>(kCrcTables[3][low & 0xFF] ^ kCrcTables[2][low >> 8] ^
                                         kCrcTables[1][bytes[i + 2]] ^ kCrcTables[0][bytes[i + 3]]);
    }
    for (; i < size; ++i) {
        crc = static_cast<std::uint16_t>((crc >> 8) ^ kCrcTables[0][(crc ^ bytes[i]) & 0xFF]);
    }
    return crc;
}

// The check value of this CRC (CRC-16/ARC), over the nine digits.
constexpr unsigned char kCheckDigits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
static_assert(Crc(0, kCheckDigits, 9) == 0xBB3D, "the CRC of FIT files");

// The base types of the fields the reader takes. Each field has its own
// type; a field written with another is not that field.
struct BaseType {
    std::uint8_t size;
    bool is_signed;
};

BaseType TypeOf(std::uint8_t base_type) {
    switch (base_type) {
        case 0x00:  // enum
        case 0x02:  // uint8
            return {1, false};
        case 0x01:  // sint8
            return {1, true};
        case 0x84:  // uint16
            return {2, false};
        case 0x85:  // sint32
            return {4, true};
        default:  // 0x86, uint32
            return {4, false};
    }
}

// The messages and fields the reader takes.
constexpr std::uint16_t kFileIdMessage = 0;
constexpr std::uint16_t kSessionMessage = 18;
constexpr std::uint16_t kLapMessage = 19;
constexpr std::uint16_t kRecordMessage = 20;
constexpr std::uint16_t kEventMessage = 21;
constexpr std::uint8_t kTimestampField = 253;

// The largest data message: 255 fields and 255 developer fields of 255
// bytes, and its header byte. The buffer holds it whole.
static_assert(1 + 2 * 255 * 255 <= io::InputFile::kBufferSize, "a message fits the buffer");

// The value a field holds, and the base type it must have.
struct FieldOf {
    FitReader::Value value;
    std::uint8_t base_type;
};

FieldOf ValueOf(std::uint16_t message, std::uint8_t field) {
    if (field == kTimestampField) {
        return {FitReader::kTimestamp, 0x86};
    }
    if (message == kRecordMessage) {
        switch (field) {
            case 0:
                return {FitReader::kLatitude, 0x85};
            case 1:
                return {FitReader::kLongitude, 0x85};
            case 2:
                return {FitReader::kAltitude, 0x84};
            case 3:
                return {FitReader::kHeartRate, 0x02};
            case 4:
                return {FitReader::kCadence, 0x02};
            case 5:
                return {FitReader::kDistance, 0x86};
            case 6:
                return {FitReader::kSpeed, 0x84};
            case 7:
                return {FitReader::kPower, 0x84};
            case 13:
                return {FitReader::kTemperature, 0x01};
            case 53:
                return {FitReader::kFractionalCadence, 0x02};
            case 73:
                return {FitReader::kEnhancedSpeed, 0x86};
            case 78:
                return {FitReader::kEnhancedAltitude, 0x86};
            default:
                break;
        }
    } else if (message == kEventMessage && field <= 1) {
        return {field == 0 ? FitReader::kEvent : FitReader::kEventType, 0x00};
    } else if (message == kSessionMessage && (field == 5 || field == 6)) {
        return {field == 5 ? FitReader::kSport : FitReader::kSubSport, 0x00};
    } else if ((message == kSessionMessage || message == kLapMessage) && field == 2) {
        return {FitReader::kStartTime, 0x86};
    } else if (message == kLapMessage && field == 24) {
        return {FitReader::kLapTrigger, 0x00};
    } else if (message == kFileIdMessage && field == 0) {
        return {FitReader::kFileType, 0x00};
    }
    return {FitReader::kValueCount, 0};
}

std::uint64_t Unsigned(const unsigned char* bytes, unsigned size, bool big_endian) {
    std::uint64_t value = 0;
    for (unsigned i = 0; i < size; ++i) {
        value = value << 8 | bytes[big_endian ? i : size - 1 - i];
    }
    return value;
}

// The first element of a field as a number; false for the type's invalid
// value (all ones, or the largest number of a signed type).
bool Number(const unsigned char* bytes, std::uint8_t size, bool is_signed, bool big_endian,
            double& value) {
    std::uint32_t raw = bytes[0];
    if (size == 2) {
        raw = big_endian ? raw << 8 | bytes[1] : raw | bytes[1] << 8;
    } else if (size == 4) {
        raw = big_endian ? raw << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3]
                         : raw | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t{bytes[3]} << 24;
    }
    const std::uint32_t ones = size == 4 ? 0xFFFFFFFFu : (1u << (8 * size)) - 1;
    if (raw == (is_signed ? ones >> 1 : ones)) {
        return false;
    }
    const std::uint32_t sign = is_signed ? 1u << (8 * size - 1) : 0;
    value = is_signed ? static_cast<double>(static_cast<std::int32_t>((raw ^ sign) - sign))
                      : static_cast<double>(raw);
    return true;
}

track::LapTrigger TriggerOf(double trigger) {
    switch (static_cast<int>(trigger)) {
        case 0:
            return track::LapTrigger::kManual;
        case 1:
            return track::LapTrigger::kTime;
        case 2:
            return track::LapTrigger::kDistance;
        case 3:
        case 4:
        case 5:
        case 6:
            return track::LapTrigger::kPosition;
        case 7:
            return track::LapTrigger::kSessionEnd;
        default:
            return track::LapTrigger::kUnknown;
    }
}

// The file types that hold no recorded activity, by name.
const char* RefusedType(int type) {
    switch (type) {
        case 1:
            return "device";
        case 2:
            return "settings";
        case 3:
            return "sport settings";
        case 5:
            return "workout";
        case 7:
            return "schedules";
        case 9:
            return "weight";
        case 10:
            return "totals";
        case 11:
            return "goals";
        case 14:
            return "blood pressure";
        case 15:
        case 28:
        case 32:
            return "monitoring";
        case 20:
            return "activity summary";
        case 34:
            return "segment";
        case 35:
            return "segment list";
        default:
            return nullptr;
    }
}

constexpr int kActivityFile = 4;
constexpr int kCourseFile = 6;
constexpr std::uint8_t kRunningSport = 1;
// Times below it count from a start (the device's power-on, a course's
// first point), not from the FIT epoch.
constexpr std::uint32_t kFirstAbsoluteTime = 0x10000000;

std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

}  // namespace

FitReader::FitReader(std::unique_ptr<io::InputFile> file)
    : Reader(Format(&kFitFormat), *file), file_(std::move(file)) {}

bool FitReader::Next(track::Point& point) {
    if (!scanned_) {
        scanned_ = true;
        ScanSessions();
    }
    while (!Failed() && !done_) {
        const Step step = !in_file_                         ? StartFile()
                          : file_->Offset() == records_end_ ? EndFile()
                                                            : ReadMessage(point);
        if (step == Step::kPoint) {
            return true;
        }
    }
    return false;
}

bool FitReader::ScanSessions() {
    if (!file_->CanRewind() || file_->Offset() != 0) {
        return false;
    }
    scanning_ = true;
    track::Point unused;
    while (!done_) {
        const Step step = !in_file_                         ? StartFile()
                          : file_->Offset() == records_end_ ? EndFile()
                                                            : ReadMessage(unused);
        done_ = done_ || step == Step::kStop;
    }
    scanning_ = false;
    ResetPass();
    if (!file_->Rewind()) {
        Fail(errno, std::strerror(errno));
        return false;
    }
    return true;
}

void FitReader::ResetPass() {
    in_file_ = done_ = false;
    files_ = 0;
    has_time_ = break_pending_ = stopped_ = lap_pending_ = false;
    count_ = 0;
    sport_ = Sport::kUnknown;
    sessions_seen_ = session_ = 0;
    file_type_ = -1;
    any_position_ = false;
}

std::vector<Tally> FitReader::Tallies() const {
    return {
        {doubled_cadences_, "running cadence was doubled to steps per minute",
         "running cadences were doubled to steps per minute", false},
        {relative_times_, "course point timed from the course's start was left without a time",
         "course points timed from the course's start were left without a time", false},
    };
}

void FitReader::Take(std::size_t count) {
    crc_ = Crc(crc_, file_->Data(), count);
    file_->Skip(count);
}

void FitReader::Stop(const std::string& reason, std::uint64_t offset) {
    if (scanning_) {
        // The pass that reads the points meets the fault again.
        done_ = true;
        return;
    }
    // A file that breaks after whole points may be salvaged.
    if (count_ > 0) {
        Break(reason, Location::AtOffset(offset), count_);
    } else {
        Fail(0, reason, Location::AtOffset(offset));
    }
    done_ = true;
}

void FitReader::CutShort() {
    if (scanning_) {
        done_ = true;
        return;
    }
    const std::uint64_t end = file_->Offset() + file_->Size();
    if (file_->Failed()) {
        Fail(file_->Error(), std::strerror(file_->Error()), Location::AtOffset(end));
    } else if (!in_file_) {
        Stop("the file ends inside a FIT header", end);
    } else if (end < records_end_) {
        Stop("the file ends before the end of its records (byte " + std::to_string(records_end_) +
                 ")",
             end);
    } else {
        Stop("the file ends before its CRC", end);
    }
}

bool FitReader::Need(std::uint64_t start, std::size_t count) {
    if (start + count > records_end_) {
        Stop("a message of " + std::to_string(count) + " bytes or more runs past the end of the " +
                 "records (byte " + std::to_string(records_end_) + ")",
             start);
        return false;
    }
    if (!file_->Want(count)) {
        CutShort();
        return false;
    }
    return true;
}

FitReader::Step FitReader::StartFile() {
    if (!file_->Want(1)) {
        if (file_->Failed()) {
            CutShort();
        } else if (files_ == 0) {
            Stop("the file is empty", file_->Offset());
        } else if (file_type_ == kCourseFile && !any_position_ && !scanning_) {
            Stop("a FIT course without any position: there is nothing to follow", file_->Offset());
        }
        done_ = true;
        return Step::kStop;
    }
    const std::uint64_t start = file_->Offset();
    if (!file_->Want(12)) {
        CutShort();
        return Step::kStop;
    }
    const unsigned header_size = file_->Data()[0];
    if (std::memcmp(file_->Data() + 8, ".FIT", 4) != 0) {
        Stop("no FIT header: \".FIT\" is not at its byte 8", start);
        return Step::kStop;
    }
    if (header_size != 12 && header_size != 14) {
        Stop("no FIT header: its size is " + std::to_string(header_size) + ", not 12 or 14", start);
        return Step::kStop;
    }
    if (!file_->Want(header_size)) {
        CutShort();
        return Step::kStop;
    }
    const unsigned char* header = file_->Data();
    if (header_size == 14) {
        const unsigned stored = header[12] | header[13] << 8;
        const unsigned computed = Crc(0, header, 12);
        if (stored != 0 && stored != computed) {
            Stop("the header's CRC is " + Hex(stored) + ", but its bytes give " + Hex(computed),
                 start + 12);
            return Step::kStop;
        }
    }
    records_end_ = start + header_size + Unsigned(header + 4, 4, false);
    crc_ = 0;
    Take(header_size);
    for (Definition& definition : definitions_) {
        definition.defined = false;
    }
    has_time_ = false;
    in_file_ = true;
    // A file chained to another is a recording of its own.
    break_pending_ = ++files_ > 1;
    stopped_ = false;
    return Step::kMore;
}

FitReader::Step FitReader::EndFile() {
    const std::uint64_t at = file_->Offset();
    if (!file_->Want(2)) {
        CutShort();
        return Step::kStop;
    }
    const unsigned stored = file_->Data()[0] | file_->Data()[1] << 8;
    if (stored != crc_) {
        Stop("the file's CRC is " + Hex(stored) + ", but its bytes give " + Hex(crc_), at);
        return Step::kStop;
    }
    file_->Skip(2);
    in_file_ = false;
    return Step::kMore;
}

FitReader::Step FitReader::ReadMessage(track::Point& point) {
    const std::uint64_t start = file_->Offset();
    if (!Need(start, 1)) {
        return Step::kStop;
    }
    const unsigned header = file_->Data()[0];
    if ((header & 0xC0) == 0x40) {
        return ReadDefinition(start, header);
    }
    return ReadData(start, header, point);
}

FitReader::Step FitReader::ReadDefinition(std::uint64_t start, unsigned header) {
    if (!Need(start, 6)) {
        return Step::kStop;
    }
    const unsigned architecture = file_->Data()[2];
    if (architecture > 1) {
        Stop("a definition gives the byte order " + std::to_string(architecture) +
                 ", neither 0 (little-endian) nor 1 (big-endian)",
             start + 2);
        return Step::kStop;
    }
    const bool big_endian = architecture == 1;
    const auto message = static_cast<std::uint16_t>(Unsigned(file_->Data() + 3, 2, big_endian));
    const unsigned fields = file_->Data()[5];
    std::size_t length = 6 + 3 * std::size_t{fields};
    unsigned developer_fields = 0;
    if ((header & 0x20) != 0) {
        if (!Need(start, length + 1)) {
            return Step::kStop;
        }
        developer_fields = file_->Data()[length];
        length += 1 + 3 * std::size_t{developer_fields};
    }
    if (!Need(start, length)) {
        return Step::kStop;
    }

    Definition& definition = definitions_[header & 0x0F];
    definition.defined = true;
    definition.big_endian = big_endian;
    definition.message = message;
    definition.slot_count = 0;
    const unsigned char* field = file_->Data() + 6;
    std::uint32_t offset = 0;
    std::uint8_t slot_of[kValueCount];
    std::memset(slot_of, 0xFF, sizeof slot_of);
    for (unsigned i = 0; i < fields; ++i, field += 3) {
        const FieldOf of = ValueOf(message, field[0]);
        const std::uint8_t size = field[1];
        // The value is the first element of an array of its type; a field of
        // another type or size (bytes of some other sort) is passed over, and
        // of two fields of one value the later counts.
        const BaseType type = TypeOf(of.base_type);
        if (of.value != kValueCount && field[2] == of.base_type && size > 0 &&
            size % type.size == 0) {
            if (slot_of[of.value] == 0xFF) {
                slot_of[of.value] = definition.slot_count++;
            }
            definition.slots[slot_of[of.value]] = {offset, type.size, type.is_signed, of.value};
        }
        offset += size;
    }
    for (unsigned i = 0; i < developer_fields; ++i) {
        offset += field[1 + 1 + 3 * i];
    }
    definition.size = offset;
    Take(length);
    return Step::kMore;
}

FitReader::Step FitReader::ReadData(std::uint64_t start, unsigned header, track::Point& point) {
    const bool compressed = (header & 0x80) != 0;
    const unsigned local = compressed ? (header >> 5) & 0x03 : header & 0x0F;
    const Definition& definition = definitions_[local];
    if (!definition.defined) {
        Stop("a data message of local type " + std::to_string(local) +
                 ", which no definition describes",
             start);
        return Step::kStop;
    }
    if (!Need(start, 1 + std::size_t{definition.size})) {
        return Step::kStop;
    }
    double values[kValueCount] = {};
    std::uint32_t has = 0;
    const unsigned char* fields = file_->Data() + 1;
    for (std::uint8_t i = 0; i < definition.slot_count; ++i) {
        const Slot& slot = definition.slots[i];
        if (Number(fields + slot.offset, slot.size, slot.is_signed, definition.big_endian,
                   values[slot.value])) {
            has |= 1u << slot.value;
        }
    }
    Take(1 + std::size_t{definition.size});
    const auto present = [has](Value value) { return (has & 1u << value) != 0; };

    bool timed = false;
    if (present(kTimestamp) && values[kTimestamp] >= 0 && values[kTimestamp] <= 0xFFFFFFFF) {
        last_time_ = static_cast<std::uint32_t>(values[kTimestamp]);
        has_time_ = timed = true;
    } else if (compressed && !has_time_) {
        Stop("a compressed timestamp comes before any time to count from", start);
        return Step::kStop;
    } else if (compressed) {
        // Five bits of seconds on from the last time, rolling over every 32.
        const std::uint32_t offset = header & 0x1F;
        std::uint32_t time = (last_time_ & ~0x1Fu) + offset;
        if (offset < (last_time_ & 0x1Fu)) {
            time += 0x20;
        }
        last_time_ = time;
        timed = true;
    }

    switch (definition.message) {
        case kFileIdMessage:
            if (files_ == 1 && file_type_ < 0 && present(kFileType)) {
                file_type_ = static_cast<int>(values[kFileType]);
                if (const char* type = RefusedType(file_type_)) {
                    Stop(std::string("a FIT ") + type +
                             " file, not an activity: it holds no recorded track",
                         start);
                    return Step::kStop;
                }
            }
            return Step::kMore;
        case kEventMessage:
            if (present(kEvent) && present(kEventType) && values[kEvent] == 0) {
                TakeTimerEvent(values[kEventType]);
            }
            return Step::kMore;
        case kLapMessage:
            lap_pending_ = true;
            lap_trigger_ =
                present(kLapTrigger) ? TriggerOf(values[kLapTrigger]) : track::LapTrigger::kUnknown;
            return Step::kMore;
        case kSessionMessage:
            if (scanning_ && session_count_ < kMaxSessions) {
                Session& session = sessions_[session_count_++];
                session.has_start = present(kStartTime);
                session.start = static_cast<std::uint32_t>(values[kStartTime]);
                session.sport = present(kSport) ? static_cast<std::uint8_t>(values[kSport])
                                                : track::kUnknownSport;
                session.sub_sport =
                    present(kSubSport) ? static_cast<std::uint8_t>(values[kSubSport]) : 0;
            }
            ++sessions_seen_;
            if (sport_ == Sport::kUnknown && present(kSport)) {
                sport_ = values[kSport] == 1   ? Sport::kRunning
                         : values[kSport] == 2 ? Sport::kBiking
                                               : Sport::kOther;
            }
            return Step::kMore;
        case kRecordMessage:
            if (scanning_) {
                return Step::kMore;
            }
            break;
        default:
            return Step::kMore;
    }

    point.Reset();
    point.tag = ++count_;
    MarkRecord(point, timed);
    if (timed && file_type_ == kCourseFile && last_time_ < kFirstAbsoluteTime) {
        ++relative_times_;
    } else if (timed) {
        point.SetTime(track::Instant::FromSeconds(last_time_ + kFitEpoch));
    }
    if (present(kLatitude) && present(kLongitude)) {
        // Semicircles: 2^31 of them make 180 degrees.
        const double latitude = values[kLatitude] * 180.0 / 2147483648.0;
        const double longitude = values[kLongitude] * 180.0 / 2147483648.0;
        if (std::fabs(latitude) <= 90.0 && std::fabs(longitude) <= 180.0) {
            point.SetPosition(latitude, longitude);
            any_position_ = true;
        }
    }
    if (present(kEnhancedAltitude) || present(kAltitude)) {
        const double altitude =
            present(kEnhancedAltitude) ? values[kEnhancedAltitude] : values[kAltitude];
        // Fifths of a metre above -500 m: the offset first, in whole steps.
        point.Set(track::kElevation, (altitude - 2500.0) / 5.0);
    }
    if (present(kEnhancedSpeed) || present(kSpeed)) {
        point.Set(track::kSpeed,
                  (present(kEnhancedSpeed) ? values[kEnhancedSpeed] : values[kSpeed]) / 1000.0);
    }
    const struct {
        Value value;
        track::Field field;
        double scale;
    } kSensors[] = {
        {kHeartRate, track::kHeartRate, 1.0}, {kCadence, track::kCadence, 1.0},
        {kPower, track::kPower, 1.0},         {kTemperature, track::kTemperature, 1.0},
        {kDistance, track::kDistance, 100.0},
    };
    for (const auto& sensor : kSensors) {
        if (present(sensor.value)) {
            point.Set(sensor.field, values[sensor.value] / sensor.scale);
        }
    }
    if (point.Has(track::kCadence) && present(kFractionalCadence)) {
        point.cadence += values[kFractionalCadence] / 128.0;
    }
    // No strap paired: the device writes 0.
    if (point.Has(track::kHeartRate) && point.heart_rate == 0.0) {
        point.Clear(track::kHeartRate);
    }
    if (point.Has(track::kCadence) && session_ < session_count_ &&
        sessions_[session_].sport == kRunningSport) {
        point.cadence *= 2.0;
        ++doubled_cadences_;
    }
    return Step::kPoint;
}

void FitReader::TakeTimerEvent(double type) {
    if (type == 0.0) {
        if (stopped_) {
            break_pending_ = true;
            stopped_ = false;
        }
    } else if ((type == 1.0 || type == 4.0 || type == 9.0) && !stopped_) {
        // stop, stop_all, stop_disable_all
        stopped_ = true;
        stop_time_ = has_time_ ? last_time_ : 0;
    }
}

void FitReader::MarkRecord(track::Point& point, bool timed) {
    const bool first = count_ == 1;
    point.begins_track = first;
    // A record stamped at the stop still belongs to the segment it ends; a
    // later one, with no start between, begins the next.
    if (stopped_ && timed && last_time_ > stop_time_) {
        break_pending_ = true;
        stopped_ = false;
    }
    point.begins_segment = first || break_pending_;
    break_pending_ = false;

    std::size_t session = session_;
    if (session_count_ == 0) {
        session = sessions_seen_ > session ? sessions_seen_ : session;
    }
    while (session + 1 < session_count_) {
        const Session& next = sessions_[session + 1];
        const bool begun =
            next.has_start ? timed && last_time_ >= next.start : sessions_seen_ > session;
        if (!begun) {
            break;
        }
        ++session;
    }
    if (first || session != session_) {
        session_ = session;
        point.begins_session = true;
        if (session_ < session_count_) {
            point.sport = sessions_[session_].sport;
            point.sub_sport = sessions_[session_].sub_sport;
        }
        point.begins_lap = true;
        point.lap_trigger = lap_pending_ ? lap_trigger_
                            : first      ? track::LapTrigger::kUnknown
                                         : track::LapTrigger::kSessionEnd;
        lap_pending_ = false;
    }
    if (lap_pending_) {
        point.begins_lap = true;
        point.lap_trigger = lap_trigger_;
        lap_pending_ = false;
    }
}

}  // namespace formats
