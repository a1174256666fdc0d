#include "apps/Source.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace jox {

std::string readSourceFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) fail("cannot open file '" + path + "': " + std::strerror(errno));
    // Read straight into the text, a block at a time: a block on the stack
    // would take more than the whole stack a process may be given.
    constexpr std::size_t kBlock = std::size_t{1} << 16;
    std::string text;
    std::size_t n;
    do {
        std::size_t used = text.size();
        text.resize(used + kBlock);
        n = std::fread(text.data() + used, 1, kBlock, f);
        text.resize(used + n);
    } while (n > 0);
    if (std::ferror(f)) {
        int err = errno;
        std::fclose(f);
        fail("cannot read file '" + path + "': " + std::strerror(err));
    }
    std::fclose(f);
    return text;
}

}  // namespace jox
