// The events an XML stream hands its handler, as one text: each start with
// its depth, name, attributes and place, each end with its place, and the
// text between tags joined (the pieces may be cut anywhere). Shared by the
// tests and the fuzz target that hold the scanner against expat.
#ifndef TRACKTOOLS_TESTS_XMLEVENTS_H
#define TRACKTOOLS_TESTS_XMLEVENTS_H

#include <string>
#include <string_view>

#include "tracktools/formats/xml/xmlstream.h"

namespace testing_support {

struct XmlEvents {
    std::string events;    // up to the last tag, with the error when there was one
    std::string text;      // after the last tag: an error may cut it anywhere
    bool scanned = false;  // the scanner read the whole document
};

class XmlRecorder : public formats::XmlHandler {
  public:
    // Pausing at every end of an element, as the readers do at their points;
    // with `some_text`, taking only the text of elements at odd depths, as a
    // reader takes only that of its fields.
    static XmlEvents Read(io::InputFile& file, formats::XmlEngine engine, bool some_text = false) {
        XmlRecorder recorder;
        recorder.some_text_ = some_text;
        formats::XmlStream stream(file, recorder, engine);
        recorder.stream_ = &stream;
        while (stream.Run()) {
            recorder.events_ += "(paused)";
        }
        XmlEvents result;
        result.scanned = stream.Engine() == formats::XmlEngine::kScanner;
        if (stream.Failed()) {
            recorder.events_ += "error " + stream.Error().reason + At(stream.Error().where);
        }
        result.events = std::move(recorder.events_);
        result.text = std::move(recorder.text_);
        return result;
    }

    void Start(const formats::XmlName& name, const formats::XmlAttributes& attributes,
               int depth) override {
        Flush();
        events_ += "<" + std::to_string(depth) + Name(name) + At(stream_->Here());
        for (const formats::XmlAttribute& attribute : attributes) {
            events_ += " " + Name(attribute.name) + "=[" + std::string(attribute.value) + "]";
        }
        events_ += "\n";
        if (some_text_) {
            stream_->TakeText(depth % 2 == 1);
        }
    }
    void End(int depth) override {
        Flush();
        events_ += "</" + std::to_string(depth) + At(stream_->Here()) + "\n";
        if (some_text_) {
            stream_->TakeText(depth % 2 == 0);
        }
        stream_->Pause();
    }
    void Text(std::string_view text) override { text_ += text; }

  private:
    static std::string Name(const formats::XmlName& name) {
        return " {" + std::string(name.space) + "}" + std::string(name.local);
    }
    static std::string At(const formats::Location& where) {
        return " @" + std::to_string(where.line) + ":" + std::to_string(where.column);
    }
    void Flush() {
        if (!text_.empty()) {
            events_ += "[" + text_ + "]\n";
            text_.clear();
        }
    }

    formats::XmlStream* stream_ = nullptr;
    bool some_text_ = false;
    std::string events_;
    std::string text_;
};

}  // namespace testing_support

#endif
