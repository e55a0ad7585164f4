#include "replacingfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

namespace tools {
namespace {

bool SameFile(const struct stat& info, int descriptor) {
    struct stat other;
    return descriptor >= 0 && ::fstat(descriptor, &other) == 0 && other.st_dev == info.st_dev &&
           other.st_ino == info.st_ino;
}

// No file has inode 0: an input of 0 and 0 matches nothing.
constexpr unsigned long long kNoInode = 0;

// The directory part of a path, with its slash ("" for the current one).
std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

}  // namespace

ReplacingFile::~ReplacingFile() {
    Abandon();
}

bool ReplacingFile::Open(const std::string& name, int input_fd) {
    struct stat input;
    if (input_fd >= 0 && ::fstat(input_fd, &input) == 0) {
        return Open(name, input.st_dev, input.st_ino);
    }
    return Open(name, 0, kNoInode);
}

bool ReplacingFile::Open(const std::string& name, unsigned long long input_device,
                         unsigned long long input_inode) {
    Abandon();
    error_ = 0;
    target_ = name;
    standard_output_ = name == "-";
    if (standard_output_) {
        fd_ = STDOUT_FILENO;
        return true;
    }
    struct stat info;
    if (::stat(name.c_str(), &info) != 0) {
        return OpenTemporary(false, 0664);
    }
    if (input_inode != kNoInode && info.st_dev == input_device && info.st_ino == input_inode) {
        error_ = kIsTheInput;
        return false;
    }
    if (!S_ISCHR(info.st_mode) && SameFile(info, STDOUT_FILENO)) {
        error_ = kIsStandardOutput;
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error_ = EISDIR;
        return false;
    }
    if (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode)) {
        fd_ = ::open(name.c_str(), O_WRONLY | O_CLOEXEC);
        error_ = fd_ < 0 ? errno : 0;
        return fd_ >= 0;
    }
    // A symbolic link keeps pointing at the file it names.
    char resolved[PATH_MAX];
    if (::realpath(name.c_str(), resolved) != nullptr) {
        target_ = resolved;
    }
    return OpenTemporary(true, info.st_mode & 07777);
}

bool ReplacingFile::OpenTemporary(bool replaces, unsigned mode) {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = DirectoryOf(target_) + ".tracktools-" + std::to_string(random() % 1000000000);
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0664);
        if (fd_ >= 0 || errno != EEXIST) {
            break;
        }
    }
    if (fd_ < 0) {
        const int error = errno;
        temporary_.clear();
        // A file we may write in a directory we may not: written in place,
        // as truncating it always did.
        if (replaces && (error == EACCES || error == EPERM || error == EROFS)) {
            fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            error_ = fd_ < 0 ? errno : 0;
            return fd_ >= 0;
        }
        error_ = error;
        return false;
    }
    // The file it replaces keeps its permissions, as it did when cut in place.
    if (replaces) {
        ::fchmod(fd_, static_cast<mode_t>(mode));
    }
    return true;
}

bool ReplacingFile::Close() {
    if (fd_ < 0 || standard_output_) {
        return fd_ >= 0 || closed_;
    }
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (!closed) {
        error_ = errno;
        Abandon();
        return false;
    }
    closed_ = true;
    return true;
}

bool ReplacingFile::Commit() {
    if (fd_ < 0 && !closed_) {
        return false;
    }
    if (standard_output_) {
        fd_ = -1;
        return true;
    }
    const bool closed = closed_ || ::close(fd_) == 0;
    fd_ = -1;
    closed_ = false;
    if (!closed || (!temporary_.empty() && ::rename(temporary_.c_str(), target_.c_str()) != 0)) {
        error_ = errno;
        Abandon();
        return false;
    }
    temporary_.clear();
    return true;
}

void ReplacingFile::Abandon() {
    if (fd_ >= 0 && !standard_output_) {
        ::close(fd_);
    }
    fd_ = -1;
    closed_ = false;
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

}  // namespace tools
