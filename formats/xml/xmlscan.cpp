#include "xmlscan.h"

#include <cstring>

#include "namespaces.h"
#include "tracktools/formats/ascii.h"
#include "xmlchars.h"

namespace formats {

// The scanner's classes of bytes and its namespaces (xmlchars.h, namespaces.h).
using namespace xml;

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
                } else if (IsXmlSpace(*p) && size <= kMaxName) {
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
        while (p < end && IsXmlSpace(*p)) {
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
        if (!SameInAnyCase(value, "utf-8")) {
            return Step::kGiveUp;
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
        while (IsXmlSpace(*p)) {
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
        element.space = namespaces_.Default();
    } else {
        const std::string* space = namespaces_.Find(name, colon);
        if (space == nullptr) {
            return false;  // unbound, or "xml", which names no element
        }
        element.space = *space;
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
            } else if (const std::string* space =
                           namespaces_.Find(attribute.name, attribute.colon)) {
                resolved.name.space = *space;
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
            DecodeValue(attribute.value, attribute.value_size, values_);
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

// A namespace declaration on the element at `depth`.
bool XmlScanner::Declare(const RawAttribute& attribute, int depth) {
    const std::string_view prefix = attribute.colon == 0
                                        ? std::string_view()
                                        : View(attribute.name + 6, attribute.name_size - 6);
    if (attribute.plain) {
        return namespaces_.Declare(prefix, View(attribute.value, attribute.value_size), depth);
    }
    uri_.clear();
    DecodeValue(attribute.value, attribute.value_size, uri_);
    return namespaces_.Declare(prefix, uri_, depth);
}

// Hands out the end of the innermost element at `at` and leaves it.
[[gnu::always_inline]] inline void XmlScanner::Close(const Byte* at) {
    event_at_ = at;
    ++tags_;
    text_since_tag_ = 0;
    const int depth = depth_;
    handler_.End(depth);
    namespaces_.Leave(depth);
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
    if (scanned.colon != 0 || SameInAnyCase(View(target, size), "xml")) {
        return Step::kGiveUp;
    }
    const Byte* close = p;
    if (IsXmlSpace(*p)) {
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
