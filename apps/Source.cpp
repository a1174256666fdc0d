#include "apps/Source.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace jox {

std::string readSourceFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) fail("cannot open file '" + path + "': " + std::strerror(errno));
    std::string text;
    char buf[1 << 16];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    if (std::ferror(f)) {
        int err = errno;
        std::fclose(f);
        fail("cannot read file '" + path + "': " + std::strerror(err));
    }
    std::fclose(f);
    return text;
}

}  // namespace jox
