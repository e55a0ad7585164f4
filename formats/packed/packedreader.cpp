#include "packedreader.h"

#include <utility>

#include "tracktools/formats/ascii.h"
#include "tracktools/formats/gzip/row.h"
#include "tracktools/formats/zip/row.h"

namespace formats {

PackedReader::PackedReader(Format format, std::unique_ptr<io::InputFile> packed)
    : Reader(format, *packed), packed_(std::move(packed)) {}

void PackedReader::Unpack(std::unique_ptr<io::ByteSource> source, const std::string& name) {
    auto contents = std::make_unique<io::InputFile>();
    contents->OpenSource(std::move(source), Device(), Inode());
    const unsigned char* start = nullptr;
    const std::size_t size = contents->Peek(&start);
    ReadError failed;
    if (UnpackFailed(failed)) {
        Fail(0, failed.reason, failed.where);
        return;
    }
    const Format inner = InputFormat(name, start, size);
    const FormatRow* row = inner.Row();
    // One layer is unpacked as the file is read; a packed file inside is
    // left to the user.
    if (!inner.Readable() || row == &kGzipFormat || row == &kZipFormat) {
        Fail(0, std::string("it holds a ") + inner.Describe() + ", which cannot be read inside " +
                    "a " + format().Describe() + "; unpack it first");
        return;
    }
    inner_ = row->read(std::move(contents));
}

bool PackedReader::Next(track::Point& point) {
    if (!inner_ || Failed()) {
        return false;
    }
    if (!started_) {
        started_ = true;
        inner_->Salvage(Salvaging());
    }
    if (inner_->Next(point)) {
        ++points_;
        return true;
    }
    ReadError failed;
    if (UnpackFailed(failed)) {
        // A packed file cut short is a recording cut short.
        Break(failed.reason, failed.where, points_);
    } else if (inner_->Failed()) {
        const ReadError& error = inner_->Error();
        Fail(error.system_error, error.reason, error.where);
    }
    return false;
}

std::vector<Tally> PackedReader::Tallies() const {
    return inner_ ? inner_->Tallies() : std::vector<Tally>();
}

Format PackedReader::LooksLike() const {
    return inner_ ? inner_->LooksLike() : Format();
}

Sport PackedReader::RecordedSport() const {
    return inner_ ? inner_->RecordedSport() : Sport::kUnknown;
}

std::vector<Remark> PackedReader::FileRemarks() const {
    return inner_ ? inner_->Remarks() : std::vector<Remark>();
}

std::string WithoutExtension(const std::string& name, const char* extension) {
    const std::size_t dot = name.rfind('.');
    const std::size_t slash = name.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        !SameInAnyCase(std::string_view(name).substr(dot + 1), extension)) {
        return name;
    }
    return name.substr(0, dot);
}

}  // namespace formats
