#include "gpxreader.h"

#include <expat.h>
#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "tallies.h"
#include "timetext.h"
#include "units.h"

namespace formats {
namespace {

constexpr char kSeparator = ' ';  // between namespace and name; no URI holds a blank
constexpr int kChunk = 1 << 16;
constexpr std::size_t kTextCapacity = 128;  // of the text of one field: plenty for a number or time

enum class Space { kGpx, kTrackPointExtension, kOther };

Space SpaceOf(std::string_view uri) {
    // Elements without a namespace are taken as GPX: some writers leave it out.
    if (uri.empty() || uri == "http://www.topografix.com/GPX/1/1" ||
        uri == "http://www.topografix.com/GPX/1/0") {
        return Space::kGpx;
    }
    if (uri == "http://www.garmin.com/xmlschemas/TrackPointExtension/v1" ||
        uri == "http://www.garmin.com/xmlschemas/TrackPointExtension/v2") {
        return Space::kTrackPointExtension;
    }
    return Space::kOther;
}

// The namespace and the local name of an element name as expat gives it.
Space Split(const char* name, std::string_view& local) {
    const std::string_view whole(name);
    const std::size_t separator = whole.find(kSeparator);
    if (separator == std::string_view::npos) {
        local = whole;
        return Space::kGpx;
    }
    local = whole.substr(separator + 1);
    return SpaceOf(whole.substr(0, separator));
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsXmlSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsXmlSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

enum class Field { kNone, kElevation, kTime, kSpeed, kCourse };

Field FieldOf(Space space, std::string_view local) {
    if (local == "speed") {
        return Field::kSpeed;
    }
    if (local == "course") {
        return Field::kCourse;
    }
    if (space == Space::kGpx && local == "ele") {
        return Field::kElevation;
    }
    if (space == Space::kGpx && local == "time") {
        return Field::kTime;
    }
    return Field::kNone;
}

const char* FieldName(Field field) {
    switch (field) {
        case Field::kElevation:
            return "ele";
        case Field::kTime:
            return "time";
        case Field::kSpeed:
            return "speed";
        default:
            return "course";
    }
}

}  // namespace

class GpxReader::Parse {
  public:
    explicit Parse(gpl::InputFile& file)
        : file_(file), c_locale_(::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr))) {
        Begin();
    }
    ~Parse() {
        XML_ParserFree(parser_);
        if (c_locale_ != static_cast<locale_t>(nullptr)) {
            ::freelocale(c_locale_);
        }
    }
    Parse(const Parse&) = delete;
    Parse& operator=(const Parse&) = delete;

    // The next point; false at the end and on an error (error() then has a reason).
    bool Next(GPL_Data_Point& point);
    const ReadError& error() const { return error_; }
    std::vector<Tally> Tallies() const;

  private:
    enum class Pass { kTrack, kRoute };

    void Begin();
    void EndOfPass();
    Location Here() const;
    void Stop(std::string reason, Location where);
    void Stop(std::string reason) { Stop(std::move(reason), Here()); }

    void StartElement(const char* name, const char** attributes);
    void EndElement();
    void Text(const char* text, int length);
    void BeginPoint(const char** attributes);
    void EndPoint();
    void EndField();
    bool ReadDouble(const char* text, double& value) const;

    static void XMLCALL OnStart(void* parse, const XML_Char* name, const XML_Char** attributes) {
        static_cast<Parse*>(parse)->StartElement(name, attributes);
    }
    static void XMLCALL OnEnd(void* parse, const XML_Char* /*name*/) {
        static_cast<Parse*>(parse)->EndElement();
    }
    static void XMLCALL OnText(void* parse, const XML_Char* text, int length) {
        static_cast<Parse*>(parse)->Text(text, length);
    }
    static void XMLCALL OnOther(void* parse, const XML_Char* /*text*/, int /*length*/) {
        static_cast<Parse*>(parse)->stalled_ = 0;
    }
    static void XMLCALL OnDoctype(void* parse, const XML_Char* /*name*/,
                                  const XML_Char* /*system_id*/, const XML_Char* /*public_id*/,
                                  int /*has_internal_subset*/) {
        static_cast<Parse*>(parse)->Stop(
            "a document type declaration is not accepted (it could declare entities)");
    }

    gpl::InputFile& file_;
    locale_t c_locale_;
    XML_Parser parser_ = nullptr;
    Pass pass_ = Pass::kTrack;
    bool suspended_ = false;  // by a finished point, to hand it out
    bool final_ = false;      // the end of the file has been given to expat
    bool done_ = false;
    std::size_t stalled_ = 0;  // bytes given to expat since its last event
    ReadError error_;

    int depth_ = 0;
    int point_depth_ = 0;  // of the open point; 0 outside points
    Field field_ = Field::kNone;
    int field_depth_ = 0;
    Location field_where_;
    char text_[kTextCapacity + 1] = {};
    std::size_t text_size_ = 0;
    bool text_overflow_ = false;

    GPL_Data_Point point_;
    bool position_ok_ = false;
    enum class TimeState { kAbsent, kKnown, kOutOfRange } time_ = TimeState::kAbsent;
    bool ready_ = false;
    bool saw_track_point_ = false;
    bool saw_route_point_ = false;

    std::uint32_t count_ = 0;
    std::uint64_t without_position_ = 0;
    std::uint64_t without_time_ = 0;
    std::uint64_t time_out_of_range_ = 0;
};

void GpxReader::Parse::Begin() {
    if (parser_ != nullptr) {
        XML_ParserFree(parser_);
    }
    parser_ = XML_ParserCreateNS(nullptr, kSeparator);
    if (parser_ == nullptr) {
        error_.system_error = ENOMEM;
        error_.reason = std::strerror(ENOMEM);
        return;
    }
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser_, OnText);
    // Every other piece of the document (comments, declarations, ...) shows
    // that expat is making progress.
    XML_SetDefaultHandlerExpand(parser_, OnOther);
    XML_SetStartDoctypeDeclHandler(parser_, OnDoctype);
    XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
    suspended_ = final_ = done_ = false;
    stalled_ = 0;
    depth_ = point_depth_ = field_depth_ = 0;
    field_ = Field::kNone;
}

Location GpxReader::Parse::Here() const {
    return {XML_GetCurrentLineNumber(parser_), XML_GetCurrentColumnNumber(parser_) + 1};
}

void GpxReader::Parse::Stop(std::string reason, Location where) {
    if (error_.reason.empty()) {
        error_.reason = std::move(reason);
        error_.where = where;
    }
    XML_StopParser(parser_, XML_FALSE);
}

bool GpxReader::Parse::Next(GPL_Data_Point& point) {
    while (error_.reason.empty()) {
        if (ready_) {
            ready_ = false;
            point = point_;
            return true;
        }
        if (done_) {
            return false;
        }
        XML_Status status = XML_STATUS_OK;
        if (suspended_) {
            status = XML_ResumeParser(parser_);
        } else {
            void* buffer = XML_GetBuffer(parser_, kChunk);
            if (buffer == nullptr) {
                error_.system_error = ENOMEM;
                error_.reason = std::strerror(ENOMEM);
                return false;
            }
            const std::size_t got = file_.ReadBytes(static_cast<unsigned char*>(buffer), kChunk);
            if (file_.Failed()) {
                error_.system_error = file_.Error();
                error_.reason = std::strerror(file_.Error());
                return false;
            }
            final_ = got == 0;
            stalled_ += got;
            status = XML_ParseBuffer(parser_, static_cast<int>(got), final_ ? XML_TRUE : XML_FALSE);
        }
        suspended_ = status == XML_STATUS_SUSPENDED;
        if (status == XML_STATUS_ERROR) {
            if (error_.reason.empty()) {
                error_.reason = XML_ErrorString(XML_GetErrorCode(parser_));
                error_.where = Here();
            }
        } else if (stalled_ > kMaxMarkup) {
            error_.reason = "markup longer than " + std::to_string(kMaxMarkup) +
                            " bytes (a tag, comment or declaration without its end)";
            error_.where = Here();
        } else if (status == XML_STATUS_OK && final_) {
            EndOfPass();
        }
    }
    return false;
}

void GpxReader::Parse::EndOfPass() {
    if (pass_ == Pass::kRoute || saw_track_point_ || !saw_route_point_) {
        done_ = true;
        return;
    }
    // No track points, but routes: read the file again for those.
    if (!file_.Rewind()) {
        error_.system_error = errno;
        error_.reason =
            std::string("the file has routes only, and reading it again for them failed: ") +
            std::strerror(errno);
        return;
    }
    pass_ = Pass::kRoute;
    Begin();
}

void GpxReader::Parse::StartElement(const char* name, const char** attributes) {
    stalled_ = 0;
    if (++depth_ > kMaxDepth) {
        Stop("elements nested more than " + std::to_string(kMaxDepth) + " deep");
        return;
    }
    std::string_view local;
    const Space space = Split(name, local);
    if (depth_ == 1) {
        if (space != Space::kGpx || local != "gpx") {
            Stop("not a GPX file: the root element is " + std::string(local) + ", not gpx");
        }
        return;
    }
    if (point_depth_ == 0) {
        if (space == Space::kGpx && local == "trkpt") {
            saw_track_point_ = true;
            if (pass_ == Pass::kTrack) {
                BeginPoint(attributes);
            }
        } else if (space == Space::kGpx && local == "rtept") {
            saw_route_point_ = true;
            if (pass_ == Pass::kRoute) {
                BeginPoint(attributes);
            }
        }
        return;
    }
    if (field_ != Field::kNone) {
        return;  // markup inside a field is no part of it
    }
    // The point's own fields are its children; the extension's lie deeper.
    if ((space == Space::kGpx && depth_ == point_depth_ + 1) ||
        space == Space::kTrackPointExtension) {
        field_ = FieldOf(space, local);
    }
    if (field_ != Field::kNone) {
        field_depth_ = depth_;
        field_where_ = Here();
        text_size_ = 0;
        text_overflow_ = false;
    }
}

void GpxReader::Parse::EndElement() {
    stalled_ = 0;
    if (field_ != Field::kNone && depth_ == field_depth_) {
        EndField();
    } else if (point_depth_ != 0 && depth_ == point_depth_) {
        EndPoint();
    }
    --depth_;
}

void GpxReader::Parse::Text(const char* text, int length) {
    stalled_ = 0;
    if (field_ == Field::kNone || depth_ != field_depth_) {
        return;
    }
    const auto size = static_cast<std::size_t>(length);
    const std::size_t room = kTextCapacity - text_size_;
    const std::size_t taken = size < room ? size : room;
    std::memcpy(text_ + text_size_, text, taken);
    text_size_ += taken;
    text_overflow_ = text_overflow_ || taken < size;
}

bool GpxReader::Parse::ReadDouble(const char* text, double& value) const {
    char* end = nullptr;
    value = ::strtod_l(text, &end, c_locale_);
    if (end == text) {
        return false;
    }
    while (IsXmlSpace(*end)) {
        ++end;
    }
    return *end == '\0';
}

void GpxReader::Parse::BeginPoint(const char** attributes) {
    point_depth_ = depth_;
    point_ = GPL_Data_Point();
    time_ = TimeState::kAbsent;
    bool has_latitude = false;
    bool has_longitude = false;
    for (const char** attribute = attributes; attribute[0] != nullptr; attribute += 2) {
        if (std::strcmp(attribute[0], "lat") == 0) {
            has_latitude = ReadDouble(attribute[1], point_.Latitude);
        } else if (std::strcmp(attribute[0], "lon") == 0) {
            has_longitude = ReadDouble(attribute[1], point_.Longitude);
        }
    }
    // NaN fails both comparisons.
    position_ok_ = has_latitude && has_longitude && std::fabs(point_.Latitude) <= 90.0 &&
                   std::fabs(point_.Longitude) <= 180.0;
}

void GpxReader::Parse::EndField() {
    const Field field = field_;
    field_ = Field::kNone;
    text_[text_size_] = '\0';
    const std::string_view text = Trim(std::string_view(text_, text_size_));
    if (text.empty() && !text_overflow_) {
        return;
    }
    const std::string shown = "\"" + std::string(text) + (text_overflow_ ? "...\"" : "\"");
    if (field == Field::kTime) {
        std::int64_t seconds = 0;
        if (text_overflow_ || !ParseIsoTime(text.data(), text.size(), seconds)) {
            Stop("time is not a date and time: " + shown, field_where_);
            return;
        }
        const bool fits = FitsTime(seconds);
        point_.Time = fits ? static_cast<std::uint32_t>(seconds) : 0;
        time_ = fits ? TimeState::kKnown : TimeState::kOutOfRange;
        return;
    }
    double value = 0.0;
    if (text_overflow_ || !ReadDouble(text_, value) || !std::isfinite(value)) {
        Stop(std::string(FieldName(field)) + " is not a number: " + shown, field_where_);
        return;
    }
    double& to = field == Field::kElevation ? point_.Altitude
                 : field == Field::kSpeed   ? point_.Speed
                                            : point_.Heading;
    to = field == Field::kElevation ? FeetFromMeters(value)
         : field == Field::kSpeed   ? MphFromMetersPerSecond(value)
                                    : value;
    // Near the largest double, metres make more feet than a double holds.
    if (!std::isfinite(to)) {
        Stop(std::string(FieldName(field)) + " is out of range: " + shown, field_where_);
    }
}

void GpxReader::Parse::EndPoint() {
    point_depth_ = 0;
    if (!position_ok_) {
        ++without_position_;
        return;
    }
    if (time_ == TimeState::kAbsent) {
        ++without_time_;
    } else if (time_ == TimeState::kOutOfRange) {
        ++time_out_of_range_;
    }
    point_.Tag = ++count_;
    ready_ = true;
    // Hand the point out before expat goes on.
    XML_StopParser(parser_, XML_TRUE);
}

std::vector<Tally> GpxReader::Parse::Tallies() const {
    return {
        {without_position_, "point without a valid latitude and longitude was skipped",
         "points without a valid latitude and longitude were skipped", true},
        {without_time_, "point without a time was given Time 0",
         "points without a time were given Time 0", false},
        TimeOutOfRange(time_out_of_range_),
        {pass_ == Pass::kRoute ? count_ : 0, "route point was read as the track",
         "route points were read as the track", false},
    };
}

GpxReader::GpxReader(std::unique_ptr<gpl::InputFile> file)
    : Reader(Format::kGpx, *file),
      file_(std::move(file)),
      parse_(std::make_unique<Parse>(*file_)) {}

GpxReader::~GpxReader() = default;

bool GpxReader::Next(GPL_Data_Point& point) {
    if (Failed()) {
        return false;
    }
    if (parse_->Next(point)) {
        return true;
    }
    const ReadError& error = parse_->error();
    if (!error.reason.empty()) {
        Fail(error.system_error, error.reason, error.where);
    }
    return false;
}

std::vector<Tally> GpxReader::Tallies() const {
    return parse_->Tallies();
}

}  // namespace formats
