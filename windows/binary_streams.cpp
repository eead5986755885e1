// Linked into every program of the Windows build (cmake/Windows.cmake): standard output and
// error write their bytes as they are, as on Linux, instead of a CR before each LF. What a
// program prints (the runner's hashes, --help) is then the same on both, and what it writes
// to a file another program reads back byte for byte. Files it opens are binary already
// (binmode.o).
#include <cstdio>

#include <fcntl.h>
#include <io.h>

namespace {
const bool binaryStreams = [] {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return true;
}();
} // namespace
