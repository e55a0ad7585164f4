#include "reader.h"

#include <cstring>
#include <utility>

namespace formats {

std::string Where(const std::string& name, const Location& where) {
    if (where.at_offset) {
        return name + ": byte " + std::to_string(where.offset);
    }
    if (where.line == 0) {
        return name;
    }
    return name + ":" + std::to_string(where.line) +
           (where.column == 0 ? "" : ":" + std::to_string(where.column));
}

void Reader::Fail(int system_error, std::string reason, Location where) {
    error_.system_error = system_error;
    error_.reason = std::move(reason);
    error_.where = where;
}

void Reader::Break(std::string reason, Location where, std::uint64_t kept) {
    if (!salvage_) {
        Fail(0, std::move(reason), where);
        return;
    }
    broke_ = true;
    std::string place;
    if (where.at_offset) {
        place = " at byte " + std::to_string(where.offset);
    } else if (where.line != 0) {
        place =
            " at line " + std::to_string(where.line) + ", column " + std::to_string(where.column);
    }
    break_.text = "broke" + place + " (" + reason + "); the " + std::to_string(kept) +
                  (kept == 1 ? " point" : " points") + " before it were kept";
}

std::vector<Remark> Reader::Remarks() const {
    std::vector<Remark> remarks = FileRemarks();
    if (broke_) {
        remarks.push_back(break_);
    }
    return remarks;
}

Format InputFormat(const std::string& path, const unsigned char* start, std::size_t size) {
    const Format named = Format::OfExtension(path);
    if (named.Known()) {
        return named;
    }
    const Format looks_like = Format::OfContent(start, size);
    if (looks_like.Known() && !looks_like.ReadAsRecords()) {
        return looks_like;
    }
    return Format::Gpl();
}

std::unique_ptr<Reader> OpenReader(const std::string& path, Format format, ReadError& error) {
    auto file = std::make_unique<io::InputFile>();
    if (!(path == "-" ? file->OpenStandardInput() : file->Open(path))) {
        error.system_error = file->Error();
        error.reason = std::strerror(file->Error());
        return nullptr;
    }
    if (!format.Known()) {
        const unsigned char* start = nullptr;
        // A file whose first read fails is read as records: the reader
        // reports the failure where it reads.
        const std::size_t size = file->Peek(&start);
        format = InputFormat(path, start, size);
    }
    if (!format.Readable()) {
        error.system_error = 0;
        error.reason = std::string("cannot read ") + format.Describe() + "s";
        if (format.Row()->advice != nullptr) {
            error.reason += std::string("; ") + format.Row()->advice;
        }
        return nullptr;
    }
    return format.Row()->read(std::move(file));
}

}  // namespace formats
