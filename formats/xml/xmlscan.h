// The fast path of XmlStream: a scanner of the XML that track files hold,
// parsing in the input's own buffer. It takes UTF-8 (or ASCII) documents
// with elements, attributes, namespace prefixes declared on any element,
// the five predefined entities, character references, comments, processing
// instructions, CDATA sections and white space, checks that they are
// well-formed, and gives the handler the events expat would give: the same
// starts and ends, at the same places, and the same text (in pieces that
// may be cut elsewhere).
//
// Whatever lies outside that (a document type declaration, another
// encoding, a name outside ASCII, an unknown entity, a piece of markup
// longer than the buffer, nesting deeper than XmlStream::kMaxDepth, an error
// of any kind) it does not judge: it stops before handing out anything past
// that place and says so, and the stream has expat read the document from
// its start, passing over the events the handler already has.
//
// The scanner is the state machine of the markup (xmlscan.cpp); the bytes it
// reads are classed in xmlchars.h, and the namespaces in scope kept in
// namespaces.h.
#ifndef TRACKTOOLS_FORMATS_XMLSCAN_H
#define TRACKTOOLS_FORMATS_XMLSCAN_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "namespaces.h"
#include "tracktools/formats/reader.h"
#include "tracktools/io/inputfile.h"
#include "xmlstream.h"

namespace formats {

class XmlScanner {
  public:
    enum class Outcome {
        kPaused,   // by the handler, with more to come
        kEnded,    // the whole document is read and well-formed
        kStopped,  // by the handler
        kGaveUp,   // at something expat must decide; nothing past it was handed out
    };

    // Reads `file` from its start, where it must stand; hands out text while
    // `take_text` holds.
    XmlScanner(io::InputFile& file, XmlHandler& handler, const bool& take_text);
    XmlScanner(const XmlScanner&) = delete;
    XmlScanner& operator=(const XmlScanner&) = delete;

    Outcome Run();
    // From a handler: Run() returns once the current event is handled (the
    // end of an empty element is still handed out, as expat does).
    void Pause() { halted_ = true; }
    void Stop() { halted_ = stopped_ = true; }
    // The start of the current event: of its tag, of the first byte past
    // an empty element's tag for its end, of a piece of text.
    Location Here() const;

    // What the handler has been given: start and end events, and bytes of
    // text since the last of them.
    std::uint64_t Tags() const { return tags_; }
    std::uint64_t TextSinceTag() const { return text_since_tag_; }

  private:
    enum class Step { kDone, kMore, kGiveUp };
    static constexpr std::size_t kMaxAttributes = 64;
    struct RawAttribute {
        const unsigned char* name;
        std::size_t name_size;
        std::size_t colon;  // of the name; 0 without a prefix
        const unsigned char* value;
        std::size_t value_size;
        bool plain;        // the value holds no reference and no white space to normalise
        bool declaration;  // of a namespace: "xmlns" or "xmlns:<prefix>"
    };

    Step Prolog(const unsigned char*& at, const unsigned char* end);
    Step Declaration(const unsigned char*& at, const unsigned char* end);
    Step Text(const unsigned char*& at, const unsigned char* end);
    Step Markup(const unsigned char*& at, const unsigned char* end);
    Step StartTag(const unsigned char*& at, const unsigned char* end);
    Step Attributes(const unsigned char*& at, const unsigned char* end, const unsigned char* p,
                    std::size_t name_colon);
    Step Attribute(const unsigned char*& at, const unsigned char* end, RawAttribute& attribute,
                   bool& irregular) const;
    Step Resolve(std::size_t count, int depth, std::size_t& given);
    Step EndTag(const unsigned char*& at, const unsigned char* end);
    Step Comment(const unsigned char*& at, const unsigned char* end);
    Step Instruction(const unsigned char*& at, const unsigned char* end);
    Step CData(const unsigned char*& at, const unsigned char* end);
    bool Declare(const RawAttribute& attribute, int depth);
    bool Open(const unsigned char* at, std::size_t size, std::size_t colon, std::size_t given,
              const unsigned char* after, bool empty, bool count_lines);
    void Close(const unsigned char* at);
    void GiveText(const char* text, std::size_t size, const unsigned char* at);
    bool Refill();
    // Counts the line ends of bytes passed over.
    void CountLines(const unsigned char* from, const unsigned char* to);
    void NewLine(const unsigned char* start);
    std::uint64_t Characters(const unsigned char* from, const unsigned char* to) const;

    // Bytes of the file in the scanner's window: markup longer than this is
    // expat's to judge.
    static constexpr std::size_t kWindow = 1 << 17;
    static constexpr std::size_t kPadding = 8;

    io::InputFile& file_;
    XmlHandler& handler_;
    const bool& take_text_;
    // The bytes read and not yet scanned: window_[pos_, size_), followed by
    // a zero.
    std::unique_ptr<unsigned char[]> window_;
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
    bool started_ = false;
    bool root_ended_ = false;
    bool halted_ = false;  // paused or stopped by the handler
    bool stopped_ = false;
    int depth_ = 0;

    // Raw names of the open elements, for their end tags: the one at depth
    // d is names_[name_ends_[d - 1], name_ends_[d]), with kPadding bytes of
    // room after the last.
    std::vector<char> names_;
    std::array<std::size_t, XmlStream::kMaxDepth + 1> name_ends_{};
    xml::Namespaces namespaces_;
    std::string uri_;  // a namespace declared with references or line ends, decoded
    std::array<RawAttribute, kMaxAttributes> raw_;
    std::array<XmlAttribute, kMaxAttributes> attributes_;
    std::array<std::size_t, kMaxAttributes> decoded_;  // values_ offset of a value, or npos
    std::string values_;                               // attribute values that needed decoding
    std::string text_;  // a CDATA section with carriage returns, made LF

    std::uint64_t tags_ = 0;
    std::uint64_t text_since_tag_ = 0;
    const unsigned char* event_at_ = nullptr;  // where the current event begins

    // The line of the bytes scanned so far: its number, where it begins in
    // the buffer (or the buffer's start, with the characters before it in
    // column_base_), and whether it has characters of more than one byte.
    std::uint64_t line_ = 1;
    const unsigned char* line_start_ = nullptr;
    std::uint64_t column_base_ = 0;
    bool line_high_ = false;
};

}  // namespace formats

#endif
