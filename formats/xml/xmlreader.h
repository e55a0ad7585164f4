// What the readers of the XML track formats (GPX, TCX) share: the stream
// that reads the document for them, each point handed out as soon as it is
// made, and the text of the field being read, as numbers and times.
#ifndef TRACKTOOLS_FORMATS_XML_XMLREADER_H
#define TRACKTOOLS_FORMATS_XML_XMLREADER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "tracktools/formats/ascii.h"
#include "tracktools/formats/numbers.h"
#include "tracktools/formats/reader.h"
#include "tracktools/io/inputfile.h"
#include "xmlstream.h"

namespace formats {

// The text of the field a reader is in, as far as it goes: numbers and times
// fit in kCapacity bytes, and a longer text is none of them.
class FieldText {
  public:
    static constexpr std::size_t kCapacity = 128;

    void Begin(Location where) {
        where_ = where;
        size_ = 0;
        cut_ = false;
    }
    void Add(std::string_view text);
    // Without the XML white space around it.
    std::string_view Text() const { return TrimXmlSpace(std::string_view(text_, size_)); }
    bool Empty() const { return Text().empty() && !cut_; }
    bool Cut() const { return cut_; }
    // For a message: "\"<text>\"", with "..." before the closing quote when
    // the text was cut.
    std::string Quoted() const;
    Location Where() const { return where_; }

  private:
    char text_[kCapacity] = {};
    std::size_t size_ = 0;
    bool cut_ = false;
    Location where_;
};

class XmlReader : public Reader, protected XmlHandler {
  public:
    ~XmlReader() override;

    bool Next(track::Point& point) override;

  protected:
    // Reads `file` from where it stands, with the scanner or expat (see
    // xmlstream.h; either gives the same points).
    XmlReader(Format format, std::unique_ptr<io::InputFile> file, XmlEngine engine);

    XmlStream& Stream() { return stream_; }
    // The point being made; HandOut gives it to Next before the stream goes
    // on.
    track::Point& Made() { return point_; }
    void HandOut() {
        ready_ = true;
        stream_.Pause();
    }
    // A point a reader gave out of its own, for the count a break tells.
    void CountOut() { ++handed_out_; }
    // The document has ended with no error: true when the reader has the
    // stream read it again (for what it passed over the first time).
    virtual bool ReadAgain() { return false; }

    // The field's text as a time of `point_`; one outside the years a point
    // keeps is counted in `out_of_range`. Text that is no time stops the
    // stream with "<element> is not a date and time: ...".
    void TakeTime(const FieldText& field, std::string_view element, std::uint64_t& out_of_range);
    // The number reader of the document's values.
    NumberReader& Numbers() { return numbers_; }
    // The field's text as a finite number; false when it is none.
    bool ReadNumber(const FieldText& field, double& value);
    // Stops the stream at the field with "<element><problem>\"<text>\"".
    void StopAt(const FieldText& field, std::string_view element, const char* problem);

  private:
    std::unique_ptr<io::InputFile> file_;
    XmlStream stream_;
    NumberReader numbers_;
    track::Point point_;
    bool ready_ = false;
    std::uint64_t handed_out_ = 0;
};

}  // namespace formats

#endif
