#include "writer.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace formats {

void WriterOptions::Set(std::string_view flag, std::string_view value) {
    const auto given = Find(flag);
    if (given != set_.end()) {
        set_.erase(given);
    }
    set_.emplace_back(flag, value);
}

bool WriterOptions::Flag(std::string_view flag) const {
    return Find(flag) != set_.end();
}

std::string_view WriterOptions::Value(std::string_view flag) const {
    const auto given = Find(flag);
    return given != set_.end() ? std::string_view(given->second) : std::string_view();
}

WriterOptions::Given::const_iterator WriterOptions::Find(std::string_view flag) const {
    return std::find_if(set_.begin(), set_.end(),
                        [flag](const auto& given) { return given.first == flag; });
}

Writer::Writer(Format format, int fd) : format_(format) {
    output_.Attach(fd);
}

bool Writer::Check(bool written_out) {
    if (!written_out && !failed_) {
        const int error = output_.Error();
        Fail(error, std::strerror(error));
    }
    return !failed_;
}

bool Writer::Close() {
    return Check(output_.Close());
}

void Writer::Fail(int system_error, std::string reason) {
    failed_ = true;
    error_.system_error = system_error;
    error_.reason = std::move(reason);
}

std::unique_ptr<Writer> OpenWriter(Format format, int fd, const WriterOptions& options) {
    if (!format.Writable()) {
        return nullptr;
    }
    return format.Row()->write(fd, options);
}

}  // namespace formats
