#include "outputs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace tools {

std::string PieceName(const std::string& output, std::uint64_t number) {
    const std::size_t slash = output.rfind('/');
    const std::size_t dot = output.rfind('.');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    const bool has_extension = dot != std::string::npos && dot > base;
    const std::string stem = has_extension ? output.substr(0, dot) : output;
    const std::string extension = has_extension ? output.substr(dot) : "";
    return stem + "-" + std::to_string(number) + extension;
}

OutputSet::~OutputSet() = default;

bool OutputSet::Failure(const std::string& name, std::string reason) {
    failed_name_ = name;
    reason_ = std::move(reason);
    return false;
}

void OutputSet::Spare(const std::string& name) {
    struct stat info;
    if (name != "-" && ::stat(name.c_str(), &info) == 0) {
        Spare(info.st_dev, info.st_ino);
    }
}

bool OutputSet::Spared(const std::string& name) const {
    struct stat info;
    if (spared_.empty() || name == "-" || ::stat(name.c_str(), &info) != 0) {
        return false;
    }
    return std::any_of(spared_.begin(), spared_.end(), [&info](const Identity& identity) {
        return identity.inode != 0 && identity.device == info.st_dev &&
               identity.inode == info.st_ino;
    });
}

bool OutputSet::OpenFile(const std::string& name) {
    Piece piece;
    piece.name = name;
    piece.file = std::make_unique<ReplacingFile>();
    if (inputs_.IsAnInput(name) || Spared(name) || !piece.file->Open(name, 0, 0)) {
        open_failed_ = true;
        const int error =
            piece.file->Error() != 0 ? piece.file->Error() : ReplacingFile::kIsTheInput;
        return Failure(name, ErrorText(error));
    }
    pieces_.push_back(std::move(piece));
    return true;
}

int OutputSet::Open(const std::string& name) {
    name_ = name;
    console_.Line("Opening " + name);
    if (!format_.Known()) {
        format_ = formats::Format::OfExtension(name);
        if (!format_.Writable()) {
            format_ = formats::Format::Gpl();
        }
    }
    if (!OpenFile(name)) {
        console_.Failure(name, kOpenFailed);
        program_.Explain(name, reason_);
        return kExitOutputFailed;
    }
    writer_ = formats::OpenWriter(format_, pieces_.back().file->Descriptor(), options_);
    return kExitOk;
}

void OutputSet::OpenPieces(const std::string& name) {
    name_ = name;
    pieces_wanted_ = true;
    piece_pending_ = true;
    if (!format_.Known()) {
        format_ = formats::Format::OfExtension(name);
        if (!format_.Writable()) {
            format_ = formats::Format::Gpl();
        }
    }
}

bool OutputSet::OpenText(const std::string& name) {
    name_ = name;
    return OpenFile(name);
}

void OutputSet::Text(std::string_view text) {
    const int fd = pieces_.back().file->Descriptor();
    for (std::size_t done = 0; text_error_ == 0 && done < text.size();) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno != EINTR) {
            text_error_ = errno;
            Failure(pieces_.back().name, ErrorText(errno));
        } else if (wrote > 0) {
            done += static_cast<std::size_t>(wrote);
        }
    }
}

bool OutputSet::Take(track::Point*& point) {
    track::Point& taken = *point;
    if (tracks_ == 0 || taken.begins_track || piece_pending_) {
        return TakeFirst(taken);
    }
    taken.track = static_cast<std::uint32_t>(tracks_ - 1);
    return writer_->Write(taken) || WriteFailed();
}

bool OutputSet::WriteFailed() {
    return Failure(pieces_.back().name, writer_->Error().reason);
}

bool OutputSet::TakeFirst(track::Point& taken) {
    const bool first = tracks_ == 0;
    if (first || taken.begins_track) {
        taken.begins_track = taken.begins_segment = true;
        ++tracks_;
        if (pieces_wanted_) {
            track_name_ = taken.track_name;
        }
    }
    taken.track = static_cast<std::uint32_t>(tracks_ - 1);
    if (piece_pending_) {
        piece_pending_ = false;
        if ((!pieces_.empty() && !EndPiece()) || !OpenFile(PieceName(name_, pieces_.size() + 1))) {
            return false;
        }
        writer_ = formats::OpenWriter(format_, pieces_.back().file->Descriptor(), options_);
        if (!taken.begins_track) {
            taken.begins_track = taken.begins_segment = true;
            taken.track_name = track_name_;
        }
    }
    return writer_->Write(taken) || WriteFailed();
}

void OutputSet::TakeRecordedSport(formats::Sport sport) {
    if (writer_) {
        writer_->TakeRecordedSport(sport);
    }
}

bool OutputSet::Flush() {
    return writer_->Flush() || Failure(pieces_.back().name, writer_->Error().reason);
}

bool OutputSet::EndPiece() {
    Piece& piece = pieces_.back();
    if (!writer_->Finish()) {
        return Failure(piece.name, writer_->Error().reason);
    }
    piece.written = writer_->Written();
    const std::vector<formats::Tally> tallies = writer_->Tallies();
    if (tallies_.empty()) {
        tallies_ = tallies;
    } else {
        for (std::size_t i = 0; i < tallies.size() && i < tallies_.size(); ++i) {
            tallies_[i].count += tallies[i].count;
        }
    }
    writer_.reset();
    // A piece done keeps no descriptor open: a split may make many.
    if (pieces_wanted_ && !piece.file->Close()) {
        return Failure(piece.name, ErrorText(piece.file->Error()));
    }
    return true;
}

bool OutputSet::End() {
    return !writer_ || EndPiece();
}

bool OutputSet::Commit() {
    if (text_error_ != 0) {
        return false;
    }
    for (Piece& piece : pieces_) {
        if (!piece.file->Commit()) {
            return Failure(piece.name, ErrorText(piece.file->Error()));
        }
    }
    return true;
}

void OutputSet::Abandon() {
    for (Piece& piece : pieces_) {
        piece.file->Abandon();
    }
}

int OutputSet::ReportFailure(bool end_line) {
    if (reason_.empty()) {
        const int error = writer_ ? writer_->Error().system_error : 0;
        reason_ = ErrorText(error != 0 || pieces_.empty() ? error : pieces_.back().file->Error());
    }
    if (end_line) {
        console_.Line("");
    }
    console_.Failure(failed_name_, open_failed_ ? kOpenFailed : kWriteFailed);
    program_.Explain(failed_name_, reason_);
    Abandon();
    return open_failed_ ? kExitOutputFailed : kExitWriteFailed;
}

std::uint64_t OutputSet::Written() const {
    std::uint64_t total = writer_ ? writer_->Written() : 0;
    for (const Piece& piece : pieces_) {
        total += piece.written;
    }
    return total;
}

std::vector<std::string> OutputSet::Summary() const {
    std::vector<std::string> lines;
    for (const Piece& piece : pieces_) {
        if (pieces_wanted_) {
            lines.push_back("Wrote " + std::to_string(piece.written) + " data points to " +
                            piece.name + ".");
        }
    }
    lines.push_back("Wrote " + std::to_string(Written()) + " data points.");
    return lines;
}

std::vector<formats::Tally> OutputSet::Tallies() const {
    return tallies_;
}

}  // namespace tools
