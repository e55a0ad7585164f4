#include "inputfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace io {

InputFile::~InputFile() {
    Close();
}

bool InputFile::Open(const std::string& name) {
    Close();
    error_ = 0;
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    name_ = name;
    return Adopt(fd, true);
}

bool InputFile::OpenStandardInput() {
    Close();
    error_ = 0;
    return Adopt(STDIN_FILENO, false);
}

void InputFile::OpenSource(std::unique_ptr<ByteSource> source, unsigned long long device,
                           unsigned long long inode) {
    Close();
    error_ = 0;
    source_ = std::move(source);
    regular_ = false;
    device_ = device;
    inode_ = inode;
    at_end_ = false;
    begin_ = end_ = 0;
    offset_ = 0;
    if (!buffer_) {
        buffer_.reset(new unsigned char[kBufferSize]);
    }
}

long InputFile::ReadSome(unsigned char* to, std::size_t size) {
    if (source_) {
        int error = 0;
        const long got = source_->Read(to, size, error);
        if (got < 0) {
            error_ = error != 0 ? error : EIO;
        }
        return got;
    }
    for (;;) {
        const ssize_t got = ::read(fd_, to, size);
        if (got >= 0 || errno != EINTR) {
            if (got < 0) {
                error_ = errno;
            }
            return got;
        }
    }
}

bool InputFile::Adopt(int fd, bool owned) {
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        error_ = S_ISDIR(info.st_mode) ? EISDIR : errno;
        if (owned) {
            ::close(fd);
        }
        return false;
    }
    fd_ = fd;
    owned_ = owned;
    regular_ = S_ISREG(info.st_mode);
    device_ = info.st_dev;
    inode_ = info.st_ino;
    at_end_ = false;
    begin_ = end_ = 0;
    offset_ = 0;
    if (!buffer_) {
        buffer_.reset(new unsigned char[kBufferSize]);
    }
    return true;
}

bool InputFile::More() {
    if (!IsOpen() || at_end_) {
        return false;
    }
    if (begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == kBufferSize) {
        return false;
    }
    const long got = ReadSome(buffer_.get() + end_, kBufferSize - end_);
    if (got > 0) {
        end_ += static_cast<std::size_t>(got);
        return true;
    }
    // A read error ends the input as its end does, but is remembered.
    at_end_ = true;
    return false;
}

bool InputFile::WantMore(std::size_t count) {
    while (Size() < count) {
        if (!More()) {
            return false;
        }
    }
    return true;
}

std::size_t InputFile::ReadBytes(unsigned char* to, std::size_t size) {
    if (Size() == 0 && size >= kBufferSize / 8 && IsOpen() && !at_end_) {
        // A large read with nothing buffered goes straight to the caller:
        // the bytes are copied once, not twice.
        const long got = ReadSome(to, size);
        if (got > 0) {
            offset_ += static_cast<std::uint64_t>(got);
            return static_cast<std::size_t>(got);
        }
        at_end_ = true;
        return 0;
    }
    if (Size() == 0 && !More()) {
        return 0;
    }
    const std::size_t taken = size < Size() ? size : Size();
    std::memcpy(to, Data(), taken);
    Skip(taken);
    return taken;
}

std::size_t InputFile::Peek(const unsigned char** bytes) {
    if (Size() == 0) {
        More();
    }
    *bytes = buffer_ ? Data() : nullptr;
    return Size();
}

bool InputFile::Rewind() {
    if (source_ ? !source_->Rewind() : fd_ < 0 || ::lseek(fd_, 0, SEEK_SET) != 0) {
        return false;
    }
    at_end_ = false;
    begin_ = end_ = 0;
    offset_ = 0;
    return true;
}

void InputFile::ReadLine(char* buffer, std::size_t size) {
    std::size_t length = 0;
    for (;;) {
        if (Size() == 0 && !More()) {
            break;
        }
        const unsigned char* start = Data();
        const std::size_t available = Size();
        const void* newline = std::memchr(start, '\n', available);
        const std::size_t taken =
            newline != nullptr
                ? static_cast<std::size_t>(static_cast<const unsigned char*>(newline) - start)
                : available;
        // Characters beyond the buffer are read and dropped with the rest of the line.
        const std::size_t room = size > 0 ? size - 1 - length : 0;
        const std::size_t kept = taken < room ? taken : room;
        std::memcpy(buffer + length, start, kept);
        length += kept;
        if (newline != nullptr) {
            Skip(taken + 1);
            break;
        }
        Skip(available);
    }
    if (size > 0) {
        buffer[length] = '\0';
    }
}

void InputFile::Close() {
    if (fd_ >= 0 && owned_) {
        ::close(fd_);
    }
    fd_ = -1;
    source_.reset();
    name_.clear();
}

}  // namespace io
