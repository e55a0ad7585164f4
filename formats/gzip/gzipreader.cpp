#include "gzipreader.h"

#include <zlib.h>

#include <cerrno>
#include <string>
#include <utility>

#include "row.h"

namespace formats {

// The inflated bytes of a gzip file, member after member.
class GzipSource : public io::ByteSource {
  public:
    explicit GzipSource(io::InputFile& packed) : packed_(packed) {
        ready_ = inflateInit2(&stream_, 16 + MAX_WBITS) == Z_OK;
        if (!ready_) {
            Problem("zlib cannot start inflating");
        }
    }
    ~GzipSource() override {
        if (ready_) {
            inflateEnd(&stream_);
        }
    }
    GzipSource(const GzipSource&) = delete;
    GzipSource& operator=(const GzipSource&) = delete;

    long Read(unsigned char* to, std::size_t size, int& error) override;
    bool Rewind() override {
        if (!ready_ || !packed_.Rewind()) {
            return false;
        }
        inflateReset(&stream_);
        // A problem stays: the same bytes give it again.
        member_ended_ = done_ = false;
        return true;
    }
    bool CanRewind() const override { return packed_.CanRewind(); }

    const std::string& Problem() const { return problem_; }
    std::uint64_t Where() const { return where_; }

  private:
    long Problem(std::string problem) {
        problem_ = std::move(problem);
        where_ = packed_.Offset();
        return -1;
    }
    long Step();

    io::InputFile& packed_;
    z_stream stream_ = {};
    bool ready_ = false;
    bool member_ended_ = false;
    bool done_ = false;
    std::string problem_;
    std::uint64_t where_ = 0;
};

long GzipSource::Read(unsigned char* to, std::size_t size, int& error) {
    if (!problem_.empty()) {
        error = EIO;
        return -1;
    }
    stream_.next_out = to;
    stream_.avail_out = static_cast<uInt>(size < (1u << 30) ? size : (1u << 30));
    const uInt wanted = stream_.avail_out;
    while (!done_ && stream_.avail_out == wanted) {
        if (Step() < 0) {
            error = packed_.Failed() ? packed_.Error() : EIO;
            return -1;
        }
    }
    return static_cast<long>(wanted - stream_.avail_out);
}

// Inflates what the packed file has; -1 on a problem.
long GzipSource::Step() {
    if (member_ended_) {
        if (!packed_.Want(1)) {
            done_ = !packed_.Failed();
            return done_ ? 0 : Problem(std::string("the gzip file cannot be read"));
        }
        if (!packed_.Want(2) || packed_.Data()[0] != 0x1F || packed_.Data()[1] != 0x8B) {
            return Problem("bytes follow the gzip data that are no gzip data");
        }
        inflateReset(&stream_);
        member_ended_ = false;
    }
    if (packed_.Size() == 0 && !packed_.More()) {
        return Problem(packed_.Failed() ? "the gzip file cannot be read"
                                        : "the gzip data ends before its end");
    }
    stream_.next_in = const_cast<unsigned char*>(packed_.Data());
    stream_.avail_in = static_cast<uInt>(packed_.Size());
    const int result = inflate(&stream_, Z_NO_FLUSH);
    packed_.Skip(packed_.Size() - stream_.avail_in);
    if (result == Z_STREAM_END) {
        member_ended_ = true;
    } else if (result != Z_OK && result != Z_BUF_ERROR) {
        return Problem(std::string("the gzip data is damaged (") +
                       (stream_.msg != nullptr ? stream_.msg : "zlib gives no reason") + ")");
    }
    return 0;
}

GzipReader::GzipReader(std::unique_ptr<io::InputFile> file)
    : PackedReader(Format(&kGzipFormat), std::move(file)) {
    auto source = std::make_unique<GzipSource>(Packed());
    source_ = source.get();
    Unpack(std::move(source), WithoutExtension(Packed().Name(), "gz"));
}

bool GzipReader::UnpackFailed(ReadError& error) const {
    if (source_->Problem().empty()) {
        return false;
    }
    error.reason = source_->Problem();
    error.where = Location::AtOffset(source_->Where());
    return true;
}

}  // namespace formats
