#include "textspool.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace formats {

TextSpool::~TextSpool() {
    file_.Close();
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

io::OutputFile* TextSpool::File() {
    if (fd_ >= 0) {
        return &file_;
    }
    if (error_ != 0) {
        return nullptr;
    }
    const char* directory = std::getenv("TMPDIR");
    directory_ = directory != nullptr && *directory != '\0' ? directory : "/tmp";
    const std::string name = directory_ + "/tracktools-text-XXXXXX";
    std::vector<char> path(name.begin(), name.end());
    path.push_back('\0');
    fd_ = ::mkstemp(path.data());
    if (fd_ < 0) {
        error_ = errno != 0 ? errno : EIO;
        return nullptr;
    }
    ::unlink(path.data());
    file_.Attach(fd_);
    return &file_;
}

bool TextSpool::CopyTo(io::OutputFile& output) {
    if (fd_ < 0) {
        return error_ == 0;
    }
    if (!file_.Flush()) {
        error_ = file_.Error() != 0 ? file_.Error() : EIO;
        return false;
    }
    if (::lseek(fd_, 0, SEEK_SET) < 0) {
        error_ = errno;
        return false;
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error_ = errno;
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (!output.WriteBytes(buffer, static_cast<std::size_t>(got))) {
            return false;
        }
    }
}

std::string TextSpool::ErrorText() const {
    return "temporary file in " + directory_ + ": " + std::strerror(error_);
}

}  // namespace formats
