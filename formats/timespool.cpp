#include "timespool.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace formats {

TimeSpool::~TimeSpool() {
    out_.Close();
    in_.Close();
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool TimeSpool::Failed(int error) {
    error_ = error != 0 ? error : EIO;
    return false;
}

bool TimeSpool::Open() {
    const char* directory = std::getenv("TMPDIR");
    directory_ = directory != nullptr && *directory != '\0' ? directory : "/tmp";
    std::string name = directory_ + "/tracktools-times-XXXXXX";
    std::vector<char> path(name.begin(), name.end());
    path.push_back('\0');
    fd_ = ::mkstemp(path.data());
    if (fd_ < 0) {
        return Failed(errno);
    }
    name = path.data();
    // A second open of the name reads from its own offset; then the name goes.
    const bool readable = in_.Open(name);
    const int error = errno;
    ::unlink(name.c_str());
    if (!readable) {
        return Failed(error);
    }
    out_.Attach(fd_);
    return true;
}

bool TimeSpool::Add(std::uint32_t time) {
    return out_.WriteBytes(&time, sizeof time) || Failed(out_.Error());
}

bool TimeSpool::StartReading() {
    return out_.Flush() || Failed(out_.Error());
}

bool TimeSpool::Next(std::uint32_t& time) {
    unsigned char bytes[sizeof time] = {};
    std::size_t got = 0;
    while (got < sizeof bytes) {
        const std::size_t more = in_.ReadBytes(bytes + got, sizeof bytes - got);
        if (more == 0) {
            // The file holds whole times only: anything else is an error.
            if (in_.Failed() || got > 0) {
                Failed(in_.Error());
            }
            return false;
        }
        got += more;
    }
    std::memcpy(&time, bytes, sizeof time);
    return true;
}

std::string TimeSpool::ErrorText() const {
    return "temporary file in " + directory_ + ": " + std::strerror(error_);
}

}  // namespace formats
