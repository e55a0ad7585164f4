#include "namespaces.h"

namespace formats {
namespace xml {
namespace {

constexpr std::string_view kXmlnsNamespace = "http://www.w3.org/2000/xmlns/";
constexpr std::size_t kMaxBindings = 256;
constexpr std::size_t kMaxUri = 4096;

}  // namespace

bool Namespaces::Declare(std::string_view prefix, std::string_view uri, int depth) {
    // A prefix cannot be unbound, nor anything bound to the reserved names;
    // a blank would clash with the separator expat's names carry.
    if (bound_ == kMaxBindings || prefix == "xml" || prefix == "xmlns" ||
        (uri.empty() && !prefix.empty()) || uri == kXmlNamespace || uri == kXmlnsNamespace ||
        uri.size() > kMaxUri || uri.find_first_of(" \t\n\r") != std::string_view::npos) {
        return false;
    }
    if (bound_ == bindings_.size()) {
        bindings_.emplace_back();
    }
    Binding& binding = bindings_[bound_];
    binding.prefix.assign(prefix.data(), prefix.size());
    binding.uri.assign(uri.data(), uri.size());
    binding.depth = depth;
    ++bound_;
    Rebound();
    return true;
}

void Namespaces::Rebound() {
    default_ = kNone;
    for (std::size_t i = bound_; i-- > 0;) {
        if (bindings_[i].prefix.empty()) {
            default_ = i;
            break;
        }
    }
    last_found_ = kNone;
}

const std::string* Namespaces::Search(const Byte* prefix, std::size_t size, std::uint64_t key) {
    const std::string_view wanted = View(prefix, size);
    for (std::size_t i = bound_; i-- > 0;) {
        if (bindings_[i].prefix == wanted) {
            last_found_ = i;
            last_size_ = size;
            last_key_ = key;
            return &bindings_[i].uri;
        }
    }
    return nullptr;
}

}  // namespace xml
}  // namespace formats
