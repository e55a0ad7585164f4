#include "files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tracktools/track/gplfile.h"

namespace testing_support {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/tracktools-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

bool FileExists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

std::set<std::string> FileNames(const std::string& directory) {
    std::set<std::string> names;
    DIR* listing = ::opendir(directory.c_str());
    if (listing == nullptr) {
        throw std::runtime_error("cannot list " + directory);
    }
    while (const dirent* entry = ::readdir(listing)) {
        names.insert(entry->d_name);
    }
    ::closedir(listing);
    names.erase(".");
    names.erase("..");
    return names;
}

unsigned FileMode(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        return 0;
    }
    return info.st_mode & 07777;
}

std::string Record(const GPL_Data_Point& point) {
    unsigned char bytes[gpl::kRecordSize];
    gpl::EncodeRecord(point, bytes);
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::string Records(const std::vector<GPL_Data_Point>& points) {
    std::string bytes;
    for (const GPL_Data_Point& point : points) {
        bytes += Record(point);
    }
    return bytes;
}

std::vector<GPL_Data_Point> ParseRecords(const std::string& bytes) {
    std::vector<GPL_Data_Point> points;
    for (std::size_t at = 0; at + gpl::kRecordSize <= bytes.size(); at += gpl::kRecordSize) {
        GPL_Data_Point point;
        gpl::DecodeRecord(reinterpret_cast<const unsigned char*>(bytes.data() + at), point);
        points.push_back(point);
    }
    return points;
}

GPL_Data_Point FullPoint(double latitude, double longitude, double speed, std::uint32_t time,
                         std::uint32_t tag) {
    GPL_Data_Point point(latitude, longitude, 1234.5, 77.25, speed, time, tag);
    point.Reserved1 = 0x01020304u ^ tag;
    point.Reserved2 = 0xF0E0D0C0u ^ time;
    return point;
}

std::string NmeaSentence(const std::string& body) {
    unsigned sum = 0;
    for (const char c : body) {
        sum ^= static_cast<unsigned char>(c);
    }
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "*%02X\r\n", sum);
    return "$" + body + checksum;
}

}  // namespace testing_support
