#include "xmlstream.h"

#include <expat.h>

#include "xmlscan.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace formats {
namespace {

constexpr char kSeparator = ' ';  // between namespace and name; no URI holds a blank
constexpr int kChunk = 1 << 16;

// The namespace and the local name of a name as expat gives it.
XmlName Split(const char* name) {
    const std::string_view whole(name);
    const std::size_t separator = whole.find(kSeparator);
    if (separator == std::string_view::npos) {
        return {std::string_view(), whole};
    }
    return {whole.substr(0, separator), whole.substr(separator + 1)};
}

}  // namespace

class XmlStream::Parser {
  public:
    Parser(XmlStream& stream) : stream_(stream) { Begin(); }
    ~Parser() { XML_ParserFree(parser_); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    void Begin();
    // The handler has had the first `tags` start and end events and `text`
    // bytes of text after them (from the scanner): they are not given again.
    void PassOver(std::uint64_t tags, std::uint64_t text) {
        skip_tags_ = tags;
        skip_text_ = text;
    }
    bool Run();
    void Pause() { XML_StopParser(parser_, XML_TRUE); }
    void Stop() { XML_StopParser(parser_, XML_FALSE); }
    Location Here() const {
        Location where;
        where.line = XML_GetCurrentLineNumber(parser_);
        where.column = XML_GetCurrentColumnNumber(parser_) + 1;
        return where;
    }

  private:
    void Fail(int system_error, std::string reason) {
        if (stream_.error_.reason.empty()) {
            stream_.error_.system_error = system_error;
            stream_.error_.reason = std::move(reason);
        }
    }

    static void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
        auto& self = *static_cast<Parser*>(data);
        self.stalled_ = 0;
        if (self.skip_tags_ > 0) {
            --self.skip_tags_;
            ++self.depth_;
            return;
        }
        if (++self.depth_ > kMaxDepth) {
            self.stream_.Stop("elements nested more than " + std::to_string(kMaxDepth) + " deep");
            return;
        }
        self.attributes_.clear();
        for (const XML_Char** attribute = attributes; attribute[0] != nullptr; attribute += 2) {
            self.attributes_.push_back({Split(attribute[0]), std::string_view(attribute[1])});
        }
        self.stream_.handler_.Start(Split(name),
                                    XmlAttributes(self.attributes_.data(), self.attributes_.size()),
                                    self.depth_);
    }
    static void XMLCALL OnEnd(void* data, const XML_Char* /*name*/) {
        auto& self = *static_cast<Parser*>(data);
        self.stalled_ = 0;
        if (self.skip_tags_ > 0) {
            --self.skip_tags_;
            --self.depth_;
            return;
        }
        self.stream_.handler_.End(self.depth_--);
    }
    static void XMLCALL OnText(void* data, const XML_Char* text, int length) {
        auto& self = *static_cast<Parser*>(data);
        self.stalled_ = 0;
        std::string_view piece(text, static_cast<std::size_t>(length));
        if (self.skip_tags_ > 0 || !self.stream_.take_text_) {
            return;
        }
        if (self.skip_text_ > 0) {
            const std::size_t skipped = self.skip_text_ < piece.size()
                                            ? static_cast<std::size_t>(self.skip_text_)
                                            : piece.size();
            self.skip_text_ -= skipped;
            piece.remove_prefix(skipped);
            if (piece.empty()) {
                return;
            }
        }
        self.stream_.handler_.Text(piece);
    }
    static void XMLCALL OnOther(void* data, const XML_Char* /*text*/, int /*length*/) {
        static_cast<Parser*>(data)->stalled_ = 0;
    }
    static void XMLCALL OnDoctype(void* data, const XML_Char* /*name*/,
                                  const XML_Char* /*system_id*/, const XML_Char* /*public_id*/,
                                  int /*has_internal_subset*/) {
        static_cast<Parser*>(data)->stream_.Stop(
            "a document type declaration is not accepted (it could declare entities)");
    }

    XmlStream& stream_;
    XML_Parser parser_ = nullptr;
    bool suspended_ = false;  // by the handler, to hand out a point
    bool final_ = false;      // the end of the file has been given to expat
    bool done_ = false;
    std::size_t stalled_ = 0;  // bytes given to expat since its last event
    int depth_ = 0;
    std::uint64_t skip_tags_ = 0;
    std::uint64_t skip_text_ = 0;
    std::vector<XmlAttribute> attributes_;
};

void XmlStream::Parser::Begin() {
    if (parser_ != nullptr) {
        XML_ParserFree(parser_);
    }
    parser_ = XML_ParserCreateNS(nullptr, kSeparator);
    if (parser_ == nullptr) {
        Fail(ENOMEM, std::strerror(ENOMEM));
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
    depth_ = 0;
    skip_tags_ = skip_text_ = 0;
}

bool XmlStream::Parser::Run() {
    io::InputFile& file = stream_.file_;
    while (!stream_.Failed() && !done_ && parser_ != nullptr) {
        XML_Status status = XML_STATUS_OK;
        if (suspended_) {
            status = XML_ResumeParser(parser_);
        } else {
            void* buffer = XML_GetBuffer(parser_, kChunk);
            if (buffer == nullptr) {
                Fail(ENOMEM, std::strerror(ENOMEM));
                break;
            }
            const std::size_t got = file.ReadBytes(static_cast<unsigned char*>(buffer), kChunk);
            if (file.Failed()) {
                Fail(file.Error(), std::strerror(file.Error()));
                break;
            }
            final_ = got == 0;
            stalled_ += got;
            status = XML_ParseBuffer(parser_, static_cast<int>(got), final_ ? XML_TRUE : XML_FALSE);
        }
        suspended_ = status == XML_STATUS_SUSPENDED;
        if (status == XML_STATUS_ERROR) {
            if (!stream_.Failed()) {
                Fail(0, XML_ErrorString(XML_GetErrorCode(parser_)));
                stream_.error_.where = Here();
            }
        } else if (stalled_ > kMaxMarkup) {
            Fail(0, "markup longer than " + std::to_string(kMaxMarkup) +
                        " bytes (a tag, comment or declaration without its end)");
            stream_.error_.where = Here();
        } else if (suspended_) {
            return true;
        } else if (status == XML_STATUS_OK && final_) {
            done_ = true;
        }
    }
    return false;
}

XmlStream::XmlStream(io::InputFile& file, XmlHandler& handler, XmlEngine engine)
    : file_(file), handler_(handler), engine_(engine) {
    // The scanner needs a file it can read again from its start.
    if (engine_ == XmlEngine::kScanner && file_.CanRewind() && file_.Offset() == 0) {
        scanner_ = std::make_unique<XmlScanner>(file_, handler_, take_text_);
    } else {
        parser_ = std::make_unique<Parser>(*this);
    }
}

XmlStream::~XmlStream() = default;

bool XmlStream::Run() {
    if (scanner_) {
        switch (scanner_->Run()) {
            case XmlScanner::Outcome::kPaused:
                return true;
            case XmlScanner::Outcome::kEnded:
            case XmlScanner::Outcome::kStopped:
                return false;
            case XmlScanner::Outcome::kGaveUp:
                if (!HandOver()) {
                    return false;
                }
                break;
        }
    }
    return parser_->Run();
}

// Expat reads the file from its start in the scanner's place, passing over
// what the handler already has: the output is as if expat had read it all,
// and nothing is held but the count of events.
bool XmlStream::HandOver() {
    const std::uint64_t tags = scanner_->Tags();
    const std::uint64_t text = scanner_->TextSinceTag();
    scanner_.reset();
    if (!file_.Rewind()) {
        error_.system_error = errno;
        error_.reason = std::string("reading the file again failed: ") + std::strerror(errno);
        return false;
    }
    if (parser_) {
        parser_->Begin();
    } else {
        parser_ = std::make_unique<Parser>(*this);
    }
    parser_->PassOver(tags, text);
    return true;
}

void XmlStream::Pause() {
    if (scanner_) {
        scanner_->Pause();
    } else {
        parser_->Pause();
    }
}

void XmlStream::Stop(std::string reason) {
    Stop(std::move(reason), Here());
}

void XmlStream::Stop(std::string reason, Location where) {
    if (error_.reason.empty()) {
        error_.reason = std::move(reason);
        error_.where = where;
    }
    if (scanner_) {
        scanner_->Stop();
    } else {
        parser_->Stop();
    }
}

Location XmlStream::Here() const {
    return scanner_ ? scanner_->Here() : parser_->Here();
}

bool XmlStream::Restart(const char* why) {
    if (!file_.Rewind()) {
        error_.system_error = errno;
        error_.reason = std::string(why) + ": " + std::strerror(errno);
        return false;
    }
    take_text_ = true;
    if (engine_ == XmlEngine::kScanner) {
        scanner_ = std::make_unique<XmlScanner>(file_, handler_, take_text_);
    } else {
        parser_->Begin();
    }
    return true;
}

}  // namespace formats
