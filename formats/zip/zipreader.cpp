#include "zipreader.h"

#include <zip.h>

#include <cerrno>
#include <string>
#include <utility>

#include "row.h"
#include "tracktools/formats/gzip/row.h"

namespace formats {

// The bytes of one member of an archive.
class ZipSource : public io::ByteSource {
  public:
    ZipSource(zip_t* archive, zip_uint64_t index) : archive_(archive), index_(index) {
        OpenMember();
    }
    ~ZipSource() override {
        if (member_ != nullptr) {
            zip_fclose(member_);
        }
        zip_discard(archive_);
    }
    ZipSource(const ZipSource&) = delete;
    ZipSource& operator=(const ZipSource&) = delete;

    long Read(unsigned char* to, std::size_t size, int& error) override {
        if (member_ == nullptr) {
            error = EIO;
            return -1;
        }
        const zip_int64_t got = zip_fread(member_, to, size);
        if (got < 0) {
            problem_ = std::string("the archive's member cannot be unpacked (") +
                       zip_file_strerror(member_) + ")";
            error = EIO;
            return -1;
        }
        return static_cast<long>(got);
    }
    bool Rewind() override { return OpenMember(); }
    bool CanRewind() const override { return true; }
    const std::string& Problem() const { return problem_; }

  private:
    // Opens the member from its first byte, closing it first if open.
    bool OpenMember() {
        if (member_ != nullptr) {
            zip_fclose(member_);
        }
        member_ = zip_fopen_index(archive_, index_, 0);
        if (member_ == nullptr) {
            problem_ = std::string("the archive's member cannot be opened (") +
                       zip_strerror(archive_) + ")";
            return false;
        }
        return true;
    }

    zip_t* archive_;
    zip_uint64_t index_;
    zip_file_t* member_ = nullptr;
    std::string problem_;
};

namespace {

std::string ZipError(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

// A member the suite reads as a track: not a folder, not packed again.
bool IsTrackFile(const char* name) {
    const Format format = Format::OfExtension(name);
    return format.Readable() && format.Row() != &kZipFormat && format.Row() != &kGzipFormat;
}

}  // namespace

ZipReader::ZipReader(std::unique_ptr<io::InputFile> file)
    : PackedReader(Format(&kZipFormat), std::move(file)) {
    const std::string& name = Packed().Name();
    if (name.empty()) {
        Fail(0, "a zip archive cannot be read from standard input; give its name");
        return;
    }
    int code = 0;
    zip_t* archive = zip_open(name.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (archive == nullptr) {
        Fail(0, "the zip archive is damaged (" + ZipError(code) + ")");
        return;
    }
    const bool kmz = WithoutExtension(name, "kmz") != name;
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    zip_int64_t chosen = -1;
    zip_int64_t tracks = 0;
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* member = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
        if (member == nullptr || !IsTrackFile(member)) {
            continue;
        }
        const bool kml = WithoutExtension(member, "kml") != member;
        if (kmz && kml) {
            chosen = i;
            tracks = 1;
            break;
        }
        chosen = tracks++ == 0 ? i : chosen;
    }
    if (tracks != 1) {
        zip_discard(archive);
        Fail(0, tracks == 0 ? "the zip archive holds no track file this program reads"
                            : "the zip archive holds " + std::to_string(tracks) +
                                  " track files; unpack it first and read them one by one");
        return;
    }
    const std::string member = zip_get_name(archive, static_cast<zip_uint64_t>(chosen), 0);
    auto source = std::make_unique<ZipSource>(archive, static_cast<zip_uint64_t>(chosen));
    source_ = source.get();
    Unpack(std::move(source), member);
}

bool ZipReader::UnpackFailed(ReadError& error) const {
    if (source_ == nullptr || source_->Problem().empty()) {
        return false;
    }
    error.reason = source_->Problem();
    return true;
}

}  // namespace formats
