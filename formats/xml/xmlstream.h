// A streaming XML parser for the readers of XML track formats (GPX, TCX):
// it hands the elements, attributes and text of a document to a handler as
// it reads the file in chunks, so memory stays the same for a file of any
// size, and lets the handler pause it after each point.
//
// Names arrive with their namespace resolved: the namespace URI (empty for
// none) and the local name. What it refuses, with the place in the file: a
// document that is not well-formed ("not well-formed (invalid token)", "no
// element found" for a file cut short), a document type declaration
// (refused before any entity can be declared, so that entity expansion
// attacks fail at once), elements nested deeper than kMaxDepth, and one
// piece of markup (a tag with its attributes, a comment, ...) longer than
// kMaxMarkup bytes.
//
// A file that can seek is read by the scanner of xmlscan.h, which gives the
// same events several times faster; where it gives up, expat reads the file
// again from its start and the handler gets only the events it has not had.
// A pipe is read by expat alone.
#ifndef TRACKTOOLS_FORMATS_XMLSTREAM_H
#define TRACKTOOLS_FORMATS_XMLSTREAM_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tracktools/formats/reader.h"
#include "tracktools/io/inputfile.h"

namespace formats {

struct XmlName {
    std::string_view space;  // the namespace URI; empty for none
    std::string_view local;
};

struct XmlAttribute {
    XmlName name;
    std::string_view value;
};

// The attributes of an element, valid during the Start call only.
class XmlAttributes {
  public:
    XmlAttributes(const XmlAttribute* items, std::size_t count) : items_(items), count_(count) {}
    std::size_t size() const { return count_; }
    const XmlAttribute* begin() const { return items_; }
    const XmlAttribute* end() const { return items_ + count_; }

  private:
    const XmlAttribute* items_;
    std::size_t count_;
};

class XmlScanner;

// Who parses: the scanner with expat behind it, or expat alone. Both give a
// handler the same events; only the speed differs.
enum class XmlEngine { kScanner, kExpat };

class XmlHandler {
  public:
    virtual ~XmlHandler() = default;
    // An element begins; `depth` is 1 for the root.
    virtual void Start(const XmlName& name, const XmlAttributes& attributes, int depth) = 0;
    // The element at `depth` ends.
    virtual void End(int depth) = 0;
    // Character data of the innermost open element, in one or more pieces:
    // the pieces differ between the engines, their concatenation does not.
    // (Of text that an error of the document cuts off, what comes before the
    // error may come in part.)
    virtual void Text(std::string_view text) = 0;
};

class XmlStream {
  public:
    static constexpr int kMaxDepth = 256;
    static constexpr std::size_t kMaxMarkup = 1 << 20;

    // Reads `file` from where it stands; both outlive the stream. The
    // scanner is used only for a file that can seek and stands at its start.
    XmlStream(io::InputFile& file, XmlHandler& handler, XmlEngine engine = XmlEngine::kScanner);
    ~XmlStream();
    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;

    // Parses until the handler calls Pause() or Stop(), the document ends,
    // or an error. True when paused, with more to come; false at the end of
    // the document and on an error (Failed()).
    bool Run();
    // From a handler: Run() returns once the current event is handled.
    void Pause();
    // From a handler: the document is refused for `reason` at the current
    // place (or at `where`), and parsing ends.
    void Stop(std::string reason);
    void Stop(std::string reason, Location where);
    // From a handler: whether Text is called, from the next piece of text
    // on (at first it is). A handler that only wants the text of some
    // elements switches it on at their start and off at their end, and the
    // text between the others costs nothing.
    void TakeText(bool take) { take_text_ = take; }
    // Where the parser stands: the start of the current event (for the end
    // of an empty element, the first byte past its tag).
    Location Here() const;
    // Parses the document once more, from the start of the file, with text
    // taken as at first: false, with "<why>: <the system's reason>" in
    // Error(), when the file cannot seek (a pipe).
    bool Restart(const char* why);

    // Who parses now: kExpat once the scanner has given up.
    XmlEngine Engine() const { return scanner_ ? XmlEngine::kScanner : XmlEngine::kExpat; }

    bool Failed() const { return !error_.reason.empty(); }
    const ReadError& Error() const { return error_; }

    class Parser;  // expat and its callbacks

  private:
    bool HandOver();

    io::InputFile& file_;
    XmlHandler& handler_;
    XmlEngine engine_;
    bool take_text_ = true;
    std::unique_ptr<XmlScanner> scanner_;  // null when expat parses
    std::unique_ptr<Parser> parser_;
    ReadError error_;
};

}  // namespace formats

#endif
