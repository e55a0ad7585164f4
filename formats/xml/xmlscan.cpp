#include "xmlscan.h"

#include <cstring>

namespace formats {
namespace {

using Byte = unsigned char;

constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr std::string_view kXmlnsNamespace = "http://www.w3.org/2000/xmlns/";
// Limits past which expat decides: they keep the scanner's memory small.
constexpr std::size_t kMaxName = 1024;
constexpr std::size_t kMaxBindings = 256;
constexpr std::size_t kMaxUri = 4096;
constexpr std::ptrdiff_t kMaxReference = 16;  // "&#x0010FFFF;" and a few leading zeros

// Classes of bytes in character data and in attribute values.
enum : std::uint8_t { kPlain, kFeed, kLess, kAmp, kCr, kBracket, kHigh, kBad, kBlank, kQuote };

constexpr std::array<std::uint8_t, 256> TextClasses() {
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        classes[c] = c >= 0x80 ? kHigh : c >= 0x20 || c == '\t' ? kPlain : kBad;
    }
    classes['\n'] = kFeed;
    classes['<'] = kLess;
    classes['&'] = kAmp;
    classes['\r'] = kCr;
    classes[']'] = kBracket;
    return classes;
}
constexpr std::array<std::uint8_t, 256> kText = TextClasses();

constexpr std::array<std::uint8_t, 256> ValueClasses() {
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        classes[c] = c >= 0x80 ? kHigh : c >= 0x20 ? kPlain : kBad;
    }
    classes['\t'] = classes['\n'] = classes['\r'] = kBlank;
    classes['<'] = kLess;
    classes['&'] = kAmp;
    classes['"'] = classes['\''] = kQuote;
    return classes;
}
constexpr std::array<std::uint8_t, 256> kValue = ValueClasses();

// Name characters of ASCII: 2 for those that may begin a name, 1 for the
// others; the colon apart.
constexpr std::array<std::uint8_t, 256> NameClasses() {
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        const bool other = (c >= '0' && c <= '9') || c == '.' || c == '-';
        classes[c] = letter ? 2 : other ? 1 : 0;
    }
    return classes;
}
constexpr std::array<std::uint8_t, 256> kName = NameClasses();

bool IsBlank(Byte c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Passes over blanks (up to the zero after the bytes); `irregular` is set
// by any but a space (a line end to count).
const Byte* SkipBlanks(const Byte* p, bool& irregular) {
    bool other = false;
    for (;; ++p) {
        if (*p != ' ') {
            if (!IsBlank(*p)) {
                break;
            }
            other = true;
        }
    }
    irregular = irregular || other;
    return p;
}

// Names are compared and copied a word at a time: the window and the copies
// of names have kPadding bytes of room after their last.
std::uint64_t Word(const void* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The low `size` bytes of a word (size < 8).
std::uint64_t Low(std::size_t size) {
    return (std::uint64_t{1} << (8 * size)) - 1;
}

bool SameBytes(const Byte* a, const char* b, std::size_t size) {
    for (;; a += 8, b += 8, size -= 8) {
        const std::uint64_t difference = Word(a) ^ Word(b);
        if (size < 8) {
            return (difference & Low(size)) == 0;
        }
        if (difference != 0) {
            return false;
        }
    }
}

void CopyWords(char* to, const Byte* from, std::size_t size) {
    for (std::size_t i = 0; i < size; i += 8) {
        std::memcpy(to + i, from + i, 8);
    }
}

enum class Match { kNo, kYes, kShort };

// Whether the bytes at `p` begin with `literal`; kShort when they agree as
// far as they go but end first.
Match StartsWith(const Byte* p, const Byte* end, std::string_view literal) {
    const std::size_t have = static_cast<std::size_t>(end - p);
    const std::size_t compared = have < literal.size() ? have : literal.size();
    if (std::memcmp(p, literal.data(), compared) != 0) {
        return Match::kNo;
    }
    return compared < literal.size() ? Match::kShort : Match::kYes;
}

// The length of the character at `p` (a byte of 0x80 or more): 0 when it is
// not well-formed UTF-8 or not a character XML allows (a surrogate, U+FFFE,
// U+FFFF), -1 when the bytes end within it.
int CharLength(const Byte* p, const Byte* end) {
    const Byte lead = p[0];
    int length;
    Byte low = 0x80;
    Byte high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (end - p < length) {
        // What there is must still be good, or no more bytes will help.
        if (end - p >= 2 && (p[1] < low || p[1] > high)) {
            return 0;
        }
        return -1;
    }
    if (p[1] < low || p[1] > high) {
        return 0;
    }
    for (int i = 2; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
    }
    if (lead == 0xEF && p[1] == 0xBF && p[2] >= 0xBE) {
        return 0;
    }
    return length;
}

bool IsXmlChar(std::uint32_t code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

int EncodeUtf8(std::uint32_t code, char* out) {
    if (code < 0x80) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = static_cast<char>(0xC0 | (code >> 6));
        out[1] = static_cast<char>(0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (code >> 12));
        out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (code & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (code >> 18));
    out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (code & 0x3F));
    return 4;
}

// The reference at `p` ('&'): its length with what it stands for in `out`
// (`size` bytes); 0 for one the scanner does not take, -1 when the bytes end
// within it.
int Reference(const Byte* p, const Byte* end, char* out, int& size) {
    const Byte* limit = end - p > kMaxReference ? p + kMaxReference : end;
    const Byte* semicolon = static_cast<const Byte*>(std::memchr(p, ';', limit - p));
    if (semicolon == nullptr) {
        return limit == end ? -1 : 0;
    }
    const std::string_view name(reinterpret_cast<const char*>(p + 1), semicolon - p - 1);
    const int length = static_cast<int>(semicolon - p + 1);
    size = 1;
    if (name == "lt") {
        out[0] = '<';
    } else if (name == "gt") {
        out[0] = '>';
    } else if (name == "amp") {
        out[0] = '&';
    } else if (name == "apos") {
        out[0] = '\'';
    } else if (name == "quot") {
        out[0] = '"';
    } else if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x';
        std::uint32_t code = 0;
        for (std::size_t i = hex ? 2 : 1; i < name.size(); ++i) {
            const char c = name[i];
            int digit;
            if (c >= '0' && c <= '9') {
                digit = c - '0';
            } else if (hex && c >= 'a' && c <= 'f') {
                digit = c - 'a' + 10;
            } else if (hex && c >= 'A' && c <= 'F') {
                digit = c - 'A' + 10;
            } else {
                return 0;
            }
            code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
            if (code > 0x10FFFF) {
                return 0;
            }
        }
        if (name.size() == (hex ? 2u : 1u) || !IsXmlChar(code)) {
            return 0;
        }
        size = EncodeUtf8(code, out);
    } else {
        return 0;
    }
    return length;
}

// A name of ASCII name characters with at most one colon inside, which
// is neither its first nor its last character.
enum class NameScan { kName, kMore, kGiveUp };
struct Name {
    NameScan scan;
    const Byte* end;    // the byte after it
    std::size_t colon;  // its place; 0 without one
};
// The bytes end in a zero, where a name stops: it is the end of the bytes or
// a character no name may hold.
Name ScanName(const Byte* p, const Byte* end) {
    const Byte* start = p;
    std::size_t colon = 0;
    if (kName[*p] != 2) {
        return {p == end ? NameScan::kMore : NameScan::kGiveUp, p, 0};
    }
    ++p;
    for (;;) {
        while (kName[*p] != 0) {
            ++p;
        }
        if (*p != ':') {
            break;
        }
        if (colon != 0 || kName[p[1]] != 2) {
            return {p + 1 == end ? NameScan::kMore : NameScan::kGiveUp, p, 0};
        }
        colon = static_cast<std::size_t>(p - start);
        ++p;
    }
    // Non-ASCII name characters are expat's to judge.
    if (p == end) {
        return {NameScan::kMore, p, 0};
    }
    if (*p >= 0x80 || static_cast<std::size_t>(p - start) > kMaxName) {
        return {NameScan::kGiveUp, p, 0};
    }
    return {NameScan::kName, p, colon};
}

// Checks the characters of a comment, a processing instruction or a CDATA
// section up to `close`: the place of `close`, or null, with `more` set when
// the bytes end before it.
const Byte* CheckChars(const Byte* p, const Byte* end, std::string_view close, bool comment,
                       bool& more) {
    more = false;
    for (;;) {
        while (p < end && *p >= 0x20 && *p < 0x80 && *p != static_cast<Byte>(close[0])) {
            ++p;
        }
        if (p == end) {
            more = true;
            return nullptr;
        }
        const Byte c = *p;
        if (c == static_cast<Byte>(close[0])) {
            const Match match = StartsWith(p, end, close);
            if (match == Match::kYes) {
                return p;
            }
            if (match == Match::kShort) {
                more = true;
                return nullptr;
            }
            // "--" ends a comment or is an error.
            if (comment && p[1] == '-') {
                return nullptr;
            }
            ++p;
        } else if (c == '\t' || c == '\n' || c == '\r') {
            ++p;
        } else if (c >= 0x80) {
            const int length = CharLength(p, end);
            if (length <= 0) {
                more = length < 0;
                return nullptr;
            }
            p += length;
        } else {
            return nullptr;
        }
    }
}

std::string_view View(const Byte* p, std::size_t size) {
    return std::string_view(reinterpret_cast<const char*>(p), size);
}

}  // namespace

XmlScanner::XmlScanner(io::InputFile& file, XmlHandler& handler, const bool& take_text)
    : file_(file),
      handler_(handler),
      take_text_(take_text),
      window_(new unsigned char[kWindow + 1 + kPadding]()) {
    window_[0] = 0;
    line_start_ = window_.get();
}

XmlScanner::Outcome XmlScanner::Run() {
    halted_ = stopped_;
    // First a byte order mark and the XML declaration, if there are.
    while (!started_) {
        const Byte* at = window_.get() + pos_;
        const Step step = Prolog(at, window_.get() + size_);
        pos_ = static_cast<std::size_t>(at - window_.get());
        if (step == Step::kGiveUp || (step == Step::kMore && !Refill())) {
            return Outcome::kGaveUp;
        }
    }
    // The bytes end in a zero, which ends every run of name, text or value
    // bytes: the loops look for the end only where they stop. The common
    // forms of text and tags take the short ways below; the others, and
    // all that needs more bytes or expat, the functions.
    const Byte* end = window_.get() + size_;
    const Byte* at = window_.get() + pos_;
    while (!halted_) {
        Step step = Step::kDone;
        if (*at == '<') {
            const Byte next = at[1];
            if (next == '/') {
                // An end tag with the open element's name and no blanks.
                if (depth_ > 0) {
                    const std::size_t from = name_ends_[depth_ - 1];
                    const std::size_t size = name_ends_[depth_] - from;
                    const Byte* p = at + 2;
                    if (static_cast<std::size_t>(end - p) > size &&
                        SameBytes(p, names_.data() + from, size) && p[size] == '>') {
                        Close(at);
                        at = p + size + 1;
                        if (halted_) {
                            break;
                        }
                        continue;
                    }
                }
                step = EndTag(at, end);
            } else if (kName[next] == 2) {
                // A start tag without attributes.
                const Byte* name = at + 1;
                const Byte* p = name + 1;
                std::size_t colon = 0;
                while (kName[*p] != 0) {
                    ++p;
                }
                if (*p == ':' && kName[p[1]] == 2) {
                    colon = static_cast<std::size_t>(p - name);
                    p += 2;
                    while (kName[*p] != 0) {
                        ++p;
                    }
                }
                const std::size_t size = static_cast<std::size_t>(p - name);
                const bool empty = *p == '/' && p[1] == '>';
                if ((*p == '>' || empty) && size <= kMaxName && depth_ < XmlStream::kMaxDepth &&
                    !root_ended_) {
                    const Byte* after = p + (empty ? 2 : 1);
                    if (Open(at, size, colon, 0, after, empty, false)) {
                        at = after;
                        if (halted_) {
                            break;
                        }
                        continue;
                    }
                    step = Step::kGiveUp;
                } else if (IsBlank(*p) && size <= kMaxName) {
                    step = Attributes(at, end, p, colon);  // the name is whole
                } else {
                    step = StartTag(at, end);
                }
            } else {
                step = Markup(at, end);
            }
        } else if (at == end) {
            step = Step::kMore;
        } else {
            // Text of ASCII characters and line feeds up to a tag.
            const Byte* p = at;
            std::uint64_t feeds = 0;
            const Byte* last_feed = nullptr;
            for (;;) {
                while (kText[*p] == kPlain) {
                    ++p;
                }
                if (*p != '\n') {
                    break;
                }
                ++feeds;
                last_feed = p++;
            }
            if (*p == '<' && depth_ > 0) {
                GiveText(reinterpret_cast<const char*>(at), static_cast<std::size_t>(p - at), at);
                if (feeds > 0) {
                    line_ += feeds - 1;
                    NewLine(last_feed + 1);
                }
                at = p;
                if (halted_) {
                    break;
                }
                continue;
            }
            step = Text(at, end);
        }
        if (step == Step::kDone) {
            if (halted_) {
                break;
            }
            continue;
        }
        pos_ = static_cast<std::size_t>(at - window_.get());
        if (step == Step::kGiveUp) {
            return Outcome::kGaveUp;
        }
        if (!Refill()) {
            // The clean end of a document whose root has ended; anything
            // else (a file cut short, a read error) is expat's to report.
            const bool ended = size_ == 0 && !file_.Failed() && root_ended_;
            return ended ? Outcome::kEnded : Outcome::kGaveUp;
        }
        end = window_.get() + size_;
        at = window_.get();
    }
    pos_ = static_cast<std::size_t>(at - window_.get());
    return stopped_ ? Outcome::kStopped : Outcome::kPaused;
}

// Moves the bytes not yet taken to the front and reads behind them. False
// when nothing more comes: at the end of the file, on a read error, and when
// the window is full (a piece of markup longer than it, which expat is to
// judge).
bool XmlScanner::Refill() {
    Byte* window = window_.get();
    // The line's characters so far are counted before its bytes go.
    column_base_ += Characters(line_start_, window + pos_);
    line_high_ = false;
    size_ -= pos_;
    std::memmove(window, window + pos_, size_);
    pos_ = 0;
    line_start_ = window;
    bool more = false;
    while (size_ < kWindow) {
        const std::size_t got = file_.ReadBytes(window + size_, kWindow - size_);
        if (got == 0) {
            break;
        }
        size_ += got;
        more = true;
    }
    window[size_] = 0;
    return more;
}

std::uint64_t XmlScanner::Characters(const Byte* from, const Byte* to) const {
    if (!line_high_) {
        return static_cast<std::uint64_t>(to - from);
    }
    std::uint64_t count = 0;
    for (const Byte* p = from; p < to; ++p) {
        count += (*p & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

Location XmlScanner::Here() const {
    Location where;
    where.line = line_;
    where.column = column_base_ + 1;
    if (event_at_ != nullptr && event_at_ > line_start_) {
        where.column += Characters(line_start_, event_at_);
    }
    return where;
}

void XmlScanner::CountLines(const Byte* from, const Byte* to) {
    for (const Byte* p = from; p < to; ++p) {
        const Byte c = *p;
        if (c == '\n' || c == '\r') {
            if (c == '\r' && p + 1 < to && p[1] == '\n') {
                ++p;
            }
            NewLine(p + 1);
        } else if (c >= 0x80) {
            line_high_ = true;
        }
    }
}

void XmlScanner::NewLine(const Byte* start) {
    ++line_;
    line_start_ = start;
    column_base_ = 0;
    line_high_ = false;
}

XmlScanner::Step XmlScanner::Declaration(const Byte*& at, const Byte* end) {
    const Byte* p = at + 5;
    bool blank = false;
    const auto skip_blanks = [&]() {
        blank = false;
        while (p < end && IsBlank(*p)) {
            ++p;
            blank = true;
        }
        return p < end;
    };
    // `name` = 'value' or "value": the value's bytes, or null.
    const auto pseudo_attribute = [&](std::string_view name, std::string_view& value) -> Step {
        const Match match = StartsWith(p, end, name);
        if (match != Match::kYes) {
            return match == Match::kShort ? Step::kMore : Step::kGiveUp;
        }
        p += name.size();
        if (!skip_blanks()) {
            return Step::kMore;
        }
        if (*p != '=') {
            return Step::kGiveUp;
        }
        ++p;
        if (!skip_blanks()) {
            return Step::kMore;
        }
        const Byte quote = *p;
        if (quote != '"' && quote != '\'') {
            return Step::kGiveUp;
        }
        const Byte* start = ++p;
        while (p < end && *p != quote && *p < 0x80 && *p >= 0x20) {
            ++p;
        }
        if (p == end) {
            return Step::kMore;
        }
        if (*p != quote) {
            return Step::kGiveUp;
        }
        value = View(start, static_cast<std::size_t>(p - start));
        ++p;
        return Step::kDone;
    };
    std::string_view value;
    if (!skip_blanks()) {
        return Step::kMore;
    }
    Step step = pseudo_attribute("version", value);
    if (step != Step::kDone) {
        return step;
    }
    if (value != "1.0") {
        return Step::kGiveUp;
    }
    if (!skip_blanks()) {
        return Step::kMore;
    }
    if (blank && *p == 'e') {
        step = pseudo_attribute("encoding", value);
        if (step != Step::kDone) {
            return step;
        }
        static constexpr char kUtf8[] = "utf-8";
        if (value.size() != 5) {
            return Step::kGiveUp;
        }
        for (std::size_t i = 0; i < 5; ++i) {
            const char c = value[i];
            if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != kUtf8[i]) {
                return Step::kGiveUp;
            }
        }
        if (!skip_blanks()) {
            return Step::kMore;
        }
    }
    if (blank && *p == 's') {
        step = pseudo_attribute("standalone", value);
        if (step != Step::kDone) {
            return step;
        }
        if (value != "yes" && value != "no") {
            return Step::kGiveUp;
        }
        if (!skip_blanks()) {
            return Step::kMore;
        }
    }
    const Match close = StartsWith(p, end, "?>");
    if (close != Match::kYes) {
        return close == Match::kShort ? Step::kMore : Step::kGiveUp;
    }
    at = p + 2;
    return Step::kDone;
}

void XmlScanner::GiveText(const char* text, std::size_t size, const Byte* at) {
    if (take_text_) {
        event_at_ = at;
        text_since_tag_ += size;
        handler_.Text(std::string_view(text, size));
    }
}

XmlScanner::Step XmlScanner::Prolog(const Byte*& at, const Byte* end) {
    const Byte* p = at;
    const Match bom = StartsWith(p, end, "\xEF\xBB\xBF");
    if (bom == Match::kShort) {
        return Step::kMore;
    }
    if (bom == Match::kYes) {
        p += 3;
    }
    const Match declaration = StartsWith(p, end, "<?xml");
    if (declaration == Match::kShort || (declaration == Match::kYes && p + 5 == end)) {
        return Step::kMore;
    }
    if (declaration == Match::kYes && kName[p[5]] == 0 && p[5] != ':') {
        const Step step = Declaration(p, end);
        if (step != Step::kDone) {
            return step;
        }
    }
    CountLines(at, p);
    at = p;
    started_ = true;
    return Step::kDone;
}

XmlScanner::Step XmlScanner::Text(const Byte*& at, const Byte* end) {
    const Byte* p = at;
    if (depth_ == 0) {
        // Outside the root only white space, which expat hands to no one.
        while (IsBlank(*p)) {
            ++p;
        }
        CountLines(at, p);
        at = p;
        return p == end || *p == '<' ? Step::kDone : Step::kGiveUp;
    }
    // Line feeds are counted on the way, the bytes of other characters
    // checked; the count is the handler's once it has the text.
    std::uint64_t feeds = 0;
    const Byte* last_feed = nullptr;
    bool high = false;
    for (;;) {
        while (kText[*p] == kPlain) {
            ++p;
        }
        const std::uint8_t kind = kText[*p];
        if (kind == kFeed) {
            ++feeds;
            last_feed = p;
            high = false;
            ++p;
        } else if (kind == kBracket) {
            if (end - p < 3) {
                break;
            }
            if (p[1] == ']' && p[2] == '>') {
                return Step::kGiveUp;
            }
            ++p;
        } else if (kind == kHigh) {
            const int length = CharLength(p, end);
            if (length <= 0) {
                break;
            }
            high = true;
            p += length;
        } else {
            break;
        }
    }
    if (p > at) {
        GiveText(reinterpret_cast<const char*>(at), static_cast<std::size_t>(p - at), at);
        if (feeds > 0) {
            line_ += feeds - 1;
            NewLine(last_feed + 1);
        }
        line_high_ = line_high_ || high;
        at = p;
        return Step::kDone;
    }
    // Text stopped at its first byte: a reference, a line end, or what
    // needs more bytes or expat.
    if (p == end) {
        return Step::kMore;
    }
    switch (kText[*p]) {
        case kAmp: {
            char decoded[4];
            int size = 0;
            const int length = Reference(p, end, decoded, size);
            if (length <= 0) {
                return length < 0 ? Step::kMore : Step::kGiveUp;
            }
            GiveText(decoded, static_cast<std::size_t>(size), p);
            at = p + length;
            return Step::kDone;
        }
        case kCr: {
            if (p + 1 == end) {
                return Step::kMore;
            }
            GiveText("\n", 1, p);
            at = p + (p[1] == '\n' ? 2 : 1);
            NewLine(at);
            return Step::kDone;
        }
        case kBracket:
            return Step::kMore;  // "]" or "]]" at the end of the bytes
        case kHigh:
            return CharLength(p, end) < 0 ? Step::kMore : Step::kGiveUp;
        default:
            return Step::kGiveUp;
    }
}

XmlScanner::Step XmlScanner::Markup(const Byte*& at, const Byte* end) {
    if (end - at < 2) {
        return Step::kMore;
    }
    if (at[1] == '?') {
        return Instruction(at, end);
    }
    if (at[1] != '!') {
        return Step::kGiveUp;  // not a name: expat's to judge
    }
    const Match comment = StartsWith(at, end, "<!--");
    if (comment != Match::kNo) {
        return comment == Match::kShort ? Step::kMore : Comment(at, end);
    }
    const Match cdata = StartsWith(at, end, "<![CDATA[");
    if (cdata != Match::kNo) {
        return cdata == Match::kShort ? Step::kMore : CData(at, end);
    }
    return Step::kGiveUp;  // a document type declaration
}

XmlScanner::Step XmlScanner::StartTag(const Byte*& at, const Byte* end) {
    const Name scanned = ScanName(at + 1, end);
    if (scanned.scan != NameScan::kName) {
        return scanned.scan == NameScan::kMore ? Step::kMore : Step::kGiveUp;
    }
    return Attributes(at, end, scanned.end, scanned.colon);
}

// The rest of a start tag at `at` after its name, which ends before `p`.
XmlScanner::Step XmlScanner::Attributes(const Byte*& at, const Byte* end, const Byte* p,
                                        std::size_t name_colon) {
    const std::size_t name_size = static_cast<std::size_t>(p - at - 1);
    std::size_t count = 0;
    bool empty = false;
    bool irregular = false;  // line ends or characters beyond ASCII to count
    for (;;) {
        const Byte* blanks = p;
        p = SkipBlanks(p, irregular);
        if (*p == '>') {
            ++p;
            break;
        }
        if (*p == '/') {
            if (p[1] != '>') {
                return p + 1 == end ? Step::kMore : Step::kGiveUp;
            }
            p += 2;
            empty = true;
            break;
        }
        if (p == end) {
            return Step::kMore;
        }
        if (p == blanks || count == kMaxAttributes) {
            return Step::kGiveUp;
        }
        const Step step = Attribute(p, end, raw_[count], irregular);
        if (step != Step::kDone) {
            return step;
        }
        ++count;
    }

    // Expat refuses what lies deeper, and an element after the root.
    if (depth_ == XmlStream::kMaxDepth || root_ended_) {
        return Step::kGiveUp;
    }
    const int depth = depth_ + 1;
    std::size_t given = 0;
    if (count > 0) {
        const Step step = Resolve(count, depth, given);
        if (step != Step::kDone) {
            return step;
        }
    }
    if (!Open(at, name_size, name_colon, given, p, empty, irregular)) {
        return Step::kGiveUp;
    }
    at = p;
    return Step::kDone;
}

// Hands out the start of the element whose tag begins at `at`, its name
// `size` bytes after the '<', and its `given` attributes in attributes_;
// and its end with it when it is `empty`; the tag ends before `after`, and
// holds line ends or characters of several bytes when `count_lines`. False,
// with nothing handed out, for a name with a prefix that is not bound.
// (Inlined where the common tags are read, as is Close.)
[[gnu::always_inline]] inline bool XmlScanner::Open(const Byte* at, std::size_t size,
                                                    std::size_t colon, std::size_t given,
                                                    const Byte* after, bool empty,
                                                    bool count_lines) {
    const Byte* name = at + 1;
    XmlName element;
    if (colon == 0) {
        element.local = View(name, size);
        if (default_ != kNone) {
            element.space = bindings_[default_].uri;
        }
    } else {
        const Binding* binding = FindPrefix(name, colon);
        if (binding == nullptr) {
            return false;  // unbound, or "xml", which names no element
        }
        element.space = binding->uri;
        element.local = View(name + colon + 1, size - colon - 1);
    }
    // The name, for the end tag.
    const int depth = depth_ + 1;
    const std::size_t from = name_ends_[depth - 1];
    if (names_.size() < from + size + kPadding) {
        names_.resize(2 * (from + size + kPadding));
    }
    CopyWords(names_.data() + from, name, size);
    name_ends_[depth] = from + size;
    depth_ = depth;
    event_at_ = at;
    ++tags_;
    text_since_tag_ = 0;
    handler_.Start(element, XmlAttributes(attributes_.data(), given), depth);
    if (count_lines) {
        CountLines(at, after);
    }
    if (empty) {
        // Expat ends an empty element even when the handler paused or
        // stopped at its start, at the byte after the tag.
        Close(after);
    }
    return true;
}

// One attribute, name="value", from its name on.
XmlScanner::Step XmlScanner::Attribute(const Byte*& at, const Byte* end, RawAttribute& attribute,
                                       bool& irregular) const {
    const Byte* p = at;
    std::size_t colon = 0;
    if (kName[*p] != 2) {
        return p == end ? Step::kMore : Step::kGiveUp;
    }
    for (++p; kName[*p] != 0; ++p) {
    }
    if (*p == ':') {
        if (kName[p[1]] != 2) {
            return p + 1 == end ? Step::kMore : Step::kGiveUp;
        }
        colon = static_cast<std::size_t>(p - at);
        for (p += 2; kName[*p] != 0; ++p) {
        }
    }
    if (*p >= 0x80 || *p == ':' || static_cast<std::size_t>(p - at) > kMaxName) {
        return Step::kGiveUp;  // names beyond ASCII are expat's
    }
    attribute.name = at;
    attribute.name_size = static_cast<std::size_t>(p - at);
    attribute.colon = colon;
    // "xmlns" or "xmlns:<prefix>": a namespace declaration, not an attribute.
    attribute.declaration = (attribute.colon == 0 ? attribute.name_size : attribute.colon) == 5 &&
                            (Word(attribute.name) & Low(5)) == (Word("xmlns\0\0") & Low(5));
    bool blank = false;
    p = SkipBlanks(p, blank);
    if (*p != '=') {
        return p == end ? Step::kMore : Step::kGiveUp;
    }
    p = SkipBlanks(p + 1, blank);
    const Byte quote = *p;
    if (quote != '"' && quote != '\'') {
        return p == end ? Step::kMore : Step::kGiveUp;
    }
    attribute.value = ++p;
    bool plain = true;
    for (;;) {
        while (kValue[*p] == kPlain) {
            ++p;
        }
        const Byte c = *p;
        switch (kValue[c]) {
            case kQuote:
                if (c == quote) {
                    attribute.value_size = static_cast<std::size_t>(p - attribute.value);
                    attribute.plain = plain;
                    irregular = irregular || blank;
                    at = p + 1;
                    return Step::kDone;
                }
                ++p;
                break;
            case kBlank:
                plain = false;
                blank = true;
                ++p;
                break;
            case kAmp: {
                char decoded[4];
                int size = 0;
                const int length = Reference(p, end, decoded, size);
                if (length <= 0) {
                    return length < 0 ? Step::kMore : Step::kGiveUp;
                }
                plain = false;
                p += length;
                break;
            }
            case kHigh: {
                const int length = CharLength(p, end);
                if (length <= 0) {
                    return length < 0 ? Step::kMore : Step::kGiveUp;
                }
                blank = true;  // characters to count by their bytes
                p += length;
                break;
            }
            default:
                // The end of the bytes, '<' or a control character.
                return p == end ? Step::kMore : Step::kGiveUp;
        }
    }
}

// The first `count` raw attributes of an element at `depth`: its namespace
// declarations bound, the others resolved and decoded into attributes_
// (`given` of them).
XmlScanner::Step XmlScanner::Resolve(std::size_t count, int depth, std::size_t& given) {
    bool declarations = false;
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (raw_[i].name_size == raw_[j].name_size &&
                SameBytes(raw_[i].name, reinterpret_cast<const char*>(raw_[j].name),
                          raw_[i].name_size)) {
                return Step::kGiveUp;
            }
        }
        declarations = declarations || raw_[i].declaration;
    }
    // Declarations hold for the element's own name and attributes.
    if (declarations) {
        for (std::size_t i = 0; i < count; ++i) {
            if (raw_[i].declaration && !Declare(raw_[i], depth)) {
                return Step::kGiveUp;
            }
        }
    }
    values_.clear();
    given = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const RawAttribute& attribute = raw_[i];
        if (attribute.declaration) {
            continue;
        }
        XmlAttribute& resolved = attributes_[given];
        if (attribute.colon == 0) {
            resolved.name.space = std::string_view();
            resolved.name.local = View(attribute.name, attribute.name_size);
        } else {
            if (attribute.colon == 3 &&
                (Word(attribute.name) & Low(3)) == (Word("xml\0\0\0\0") & Low(3))) {
                resolved.name.space = kXmlNamespace;
            } else if (const Binding* binding = FindPrefix(attribute.name, attribute.colon)) {
                resolved.name.space = binding->uri;
            } else {
                return Step::kGiveUp;
            }
            resolved.name.local = View(attribute.name + attribute.colon + 1,
                                       attribute.name_size - attribute.colon - 1);
            // Two prefixes bound to one namespace make the same name.
            for (std::size_t j = 0; j < given; ++j) {
                if (attributes_[j].name.local == resolved.name.local &&
                    attributes_[j].name.space == resolved.name.space) {
                    return Step::kGiveUp;
                }
            }
        }
        if (attribute.plain) {
            resolved.value = View(attribute.value, attribute.value_size);
            decoded_[given] = std::string::npos;
        } else {
            // Placed once all are decoded: values_ may move as it grows.
            decoded_[given] = values_.size();
            Decode(attribute, values_);
            resolved.value = View(attribute.value, values_.size() - decoded_[given]);
        }
        ++given;
    }
    if (!values_.empty()) {
        for (std::size_t i = 0; i < given; ++i) {
            if (decoded_[i] != std::string::npos) {
                attributes_[i].value =
                    std::string_view(values_.data() + decoded_[i], attributes_[i].value.size());
            }
        }
    }
    return Step::kDone;
}

bool XmlScanner::Declare(const RawAttribute& attribute, int depth) {
    if (bound_ == kMaxBindings) {
        return false;
    }
    const std::string_view prefix = attribute.colon == 0
                                        ? std::string_view()
                                        : View(attribute.name + 6, attribute.name_size - 6);
    if (prefix == "xml" || prefix == "xmlns") {
        return false;
    }
    if (bound_ == bindings_.size()) {
        bindings_.emplace_back();
    }
    Binding& binding = bindings_[bound_];
    binding.prefix.assign(prefix.data(), prefix.size());
    binding.uri.clear();
    if (attribute.plain) {
        binding.uri.assign(reinterpret_cast<const char*>(attribute.value), attribute.value_size);
    } else {
        Decode(attribute, binding.uri);
    }
    binding.depth = depth;
    const std::string_view uri = binding.uri;
    // A prefix cannot be unbound, nor anything bound to the reserved names;
    // a blank would clash with the separator expat's names carry.
    if ((uri.empty() && !prefix.empty()) || uri == kXmlNamespace || uri == kXmlnsNamespace ||
        uri.size() > kMaxUri || uri.find_first_of(" \t\n\r") != std::string_view::npos) {
        return false;
    }
    ++bound_;
    Rebound();
    return true;
}

// The bindings in scope changed: the default one and the cache follow.
void XmlScanner::Rebound() {
    default_ = kNone;
    for (std::size_t i = bound_; i-- > 0;) {
        if (bindings_[i].prefix.empty()) {
            default_ = i;
            break;
        }
    }
    last_found_ = kNone;
}

// The binding of the prefix of `size` bytes at `prefix` (in the window);
// the last one found is remembered by the prefix's bytes.
[[gnu::always_inline]] inline const XmlScanner::Binding* XmlScanner::FindPrefix(const Byte* prefix,
                                                                                std::size_t size) {
    const std::uint64_t key = size < 8 ? Word(prefix) & Low(size) : Word(prefix);
    if (last_found_ != kNone && size == last_size_ && key == last_key_ && size <= 8) {
        return &bindings_[last_found_];
    }
    return SearchPrefix(prefix, size, key);
}

const XmlScanner::Binding* XmlScanner::SearchPrefix(const Byte* prefix, std::size_t size,
                                                    std::uint64_t key) {
    const std::string_view wanted = View(prefix, size);
    for (std::size_t i = bound_; i-- > 0;) {
        if (bindings_[i].prefix == wanted) {
            last_found_ = i;
            last_size_ = size;
            last_key_ = key;
            return &bindings_[i];
        }
    }
    return nullptr;
}

// An attribute's value as expat gives it: references replaced, each line end
// or other blank made a space.
void XmlScanner::Decode(const RawAttribute& attribute, std::string& out) const {
    const Byte* p = attribute.value;
    const Byte* end = p + attribute.value_size;
    while (p < end) {
        const Byte c = *p;
        if (c == '&') {
            char decoded[4];
            int size = 0;
            p += Reference(p, end, decoded, size);
            out.append(decoded, static_cast<std::size_t>(size));
        } else if (c == '\r') {
            out.push_back(' ');
            p += p + 1 < end && p[1] == '\n' ? 2 : 1;
        } else {
            out.push_back(c == '\t' || c == '\n' ? ' ' : static_cast<char>(c));
            ++p;
        }
    }
}

// Hands out the end of the innermost element at `at` and leaves it.
[[gnu::always_inline]] inline void XmlScanner::Close(const Byte* at) {
    event_at_ = at;
    ++tags_;
    text_since_tag_ = 0;
    const int depth = depth_;
    handler_.End(depth);
    if (bound_ > 0 && bindings_[bound_ - 1].depth == depth) {
        while (bound_ > 0 && bindings_[bound_ - 1].depth == depth) {
            --bound_;
        }
        Rebound();
    }
    depth_ = depth - 1;
    root_ended_ = depth_ == 0;
}

XmlScanner::Step XmlScanner::EndTag(const Byte*& at, const Byte* end) {
    if (depth_ == 0) {
        return Step::kGiveUp;
    }
    const std::size_t from = name_ends_[depth_ - 1];
    const std::size_t size = name_ends_[depth_] - from;
    const Byte* p = at + 2;
    if (static_cast<std::size_t>(end - p) <= size) {
        return Step::kMore;
    }
    if (!SameBytes(p, names_.data() + from, size)) {
        return Step::kGiveUp;
    }
    bool irregular = false;
    p = SkipBlanks(p + size, irregular);
    if (*p != '>') {
        // Another name, longer than the open one, or the end of the bytes.
        return p == end ? Step::kMore : Step::kGiveUp;
    }
    Close(at);
    if (irregular) {
        CountLines(at, p);
    }
    at = p + 1;
    return Step::kDone;
}

XmlScanner::Step XmlScanner::Comment(const Byte*& at, const Byte* end) {
    bool more = false;
    const Byte* close = CheckChars(at + 4, end, "-->", true, more);
    if (close == nullptr) {
        return more ? Step::kMore : Step::kGiveUp;
    }
    CountLines(at, close);
    at = close + 3;
    return Step::kDone;
}

XmlScanner::Step XmlScanner::Instruction(const Byte*& at, const Byte* end) {
    const Byte* target = at + 2;
    const Name scanned = ScanName(target, end);
    if (scanned.scan != NameScan::kName) {
        return scanned.scan == NameScan::kMore ? Step::kMore : Step::kGiveUp;
    }
    const Byte* p = scanned.end;
    const std::size_t size = static_cast<std::size_t>(p - target);
    // "xml" in any case is reserved: only the declaration at the start.
    if (scanned.colon != 0 || (size == 3 && (target[0] | 0x20) == 'x' &&
                               (target[1] | 0x20) == 'm' && (target[2] | 0x20) == 'l')) {
        return Step::kGiveUp;
    }
    const Byte* close = p;
    if (IsBlank(*p)) {
        bool more = false;
        close = CheckChars(p, end, "?>", false, more);
        if (close == nullptr) {
            return more ? Step::kMore : Step::kGiveUp;
        }
    } else {
        const Match match = StartsWith(p, end, "?>");
        if (match != Match::kYes) {
            return match == Match::kShort ? Step::kMore : Step::kGiveUp;
        }
    }
    CountLines(at, close);
    at = close + 2;
    return Step::kDone;
}

XmlScanner::Step XmlScanner::CData(const Byte*& at, const Byte* end) {
    if (depth_ == 0) {
        return Step::kGiveUp;
    }
    const Byte* start = at + 9;
    bool more = false;
    const Byte* close = CheckChars(start, end, "]]>", false, more);
    if (close == nullptr) {
        return more ? Step::kMore : Step::kGiveUp;
    }
    // One piece of text, line ends made LF, so that a pause cannot fall
    // inside the section.
    const std::size_t size = static_cast<std::size_t>(close - start);
    if (size > 0) {
        const char* text = reinterpret_cast<const char*>(start);
        std::size_t length = size;
        if (std::memchr(start, '\r', size) != nullptr) {
            text_.clear();
            for (const Byte* p = start; p < close; ++p) {
                if (*p == '\r') {
                    text_.push_back('\n');
                    if (p + 1 < close && p[1] == '\n') {
                        ++p;
                    }
                } else {
                    text_.push_back(static_cast<char>(*p));
                }
            }
            text = text_.data();
            length = text_.size();
        }
        GiveText(text, length, start);
    }
    CountLines(at, close);
    at = close + 3;
    return Step::kDone;
}

}  // namespace formats
