// The namespaces in scope while the scanner reads a document (see
// xmlscan.h): the prefixes bound on the open elements, and the URI of
// unprefixed names.
#ifndef TRACKTOOLS_FORMATS_XML_NAMESPACES_H
#define TRACKTOOLS_FORMATS_XML_NAMESPACES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xmlchars.h"

namespace formats {
namespace xml {

// The namespace the prefix "xml" is bound to, without a declaration.
constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

class Namespaces {
  public:
    // Binds `prefix` (empty: unprefixed names) to `uri` on the element at
    // `depth`. False for what expat is to judge: more bindings than the
    // scanner keeps, a reserved prefix or namespace, a prefix unbound, a URI
    // too long or with a blank.
    bool Declare(std::string_view prefix, std::string_view uri, int depth);
    // The element at `depth` ends, and the bindings made on it.
    void Leave(int depth) {
        if (bound_ > 0 && bindings_[bound_ - 1].depth == depth) {
            while (bound_ > 0 && bindings_[bound_ - 1].depth == depth) {
                --bound_;
            }
            Rebound();
        }
    }
    // The namespace of unprefixed names; empty for none.
    std::string_view Default() const {
        return default_ != kNone ? std::string_view(bindings_[default_].uri) : std::string_view();
    }
    // The namespace of the prefix of `size` bytes at `prefix` (with room
    // for a word after it); null when none is bound. The last one found is
    // remembered by the prefix's bytes.
    [[gnu::always_inline]] const std::string* Find(const Byte* prefix, std::size_t size) {
        const std::uint64_t key = size < 8 ? Word(prefix) & Low(size) : Word(prefix);
        if (last_found_ != kNone && size == last_size_ && key == last_key_ && size <= 8) {
            return &bindings_[last_found_].uri;
        }
        return Search(prefix, size, key);
    }

  private:
    static constexpr std::size_t kNone = ~std::size_t{0};
    struct Binding {
        std::string prefix;  // empty for the default namespace
        std::string uri;
        int depth;
    };

    const std::string* Search(const Byte* prefix, std::size_t size, std::uint64_t key);
    // The bindings in scope changed: the default one and the cache follow.
    void Rebound();

    // Bindings in scope: the first bound_ of bindings_.
    std::vector<Binding> bindings_;
    std::size_t bound_ = 0;
    std::size_t default_ = kNone;     // the binding of unprefixed names
    std::size_t last_found_ = kNone;  // the binding of the last prefix looked up,
    std::size_t last_size_ = 0;       // its size
    std::uint64_t last_key_ = 0;      // and its first bytes
};

}  // namespace xml
}  // namespace formats

#endif
