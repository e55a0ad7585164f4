#include "outputfile.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace io {

OutputFile::~OutputFile() {
    Close();
}

void OutputFile::Attach(int fd) {
    Close();
    fd_ = fd;
    error_ = 0;
    failed_ = false;
    used_ = 0;
    if (!buffer_) {
        buffer_.reset(new unsigned char[kBufferSize]);
    }
    limit_ = fd >= 0 ? kBufferSize : 0;
}

bool OutputFile::WriteBytes(const void* bytes, std::size_t size) {
    const auto* from = static_cast<const unsigned char*>(bytes);
    while (size > 0) {
        if (failed_ || fd_ < 0 || (used_ == kBufferSize && !Flush())) {
            return false;
        }
        const std::size_t room = kBufferSize - used_;
        const std::size_t taken = size < room ? size : room;
        std::memcpy(buffer_.get() + used_, from, taken);
        used_ += taken;
        from += taken;
        size -= taken;
    }
    return !failed_;
}

unsigned char* OutputFile::RoomAfterFlush(std::size_t size) {
    if (size > kBufferSize || !Flush()) {
        return nullptr;
    }
    return buffer_.get();
}

bool OutputFile::Flush() {
    if (failed_ || fd_ < 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < used_) {
        const ssize_t put = ::write(fd_, buffer_.get() + done, used_ - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            error_ = put < 0 ? errno : ENOSPC;
            failed_ = true;
            limit_ = 0;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    used_ = 0;
    return true;
}

bool OutputFile::Close() {
    if (fd_ < 0) {
        return !failed_;
    }
    const bool flushed = Flush();
    fd_ = -1;
    used_ = 0;
    limit_ = 0;
    return flushed;
}

}  // namespace io
