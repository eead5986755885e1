#include "media/base/ReadWholeFile.hpp"

#include <cerrno>
#include <cstddef>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Anything else than a regular file (a FIFO, a device such as /dev/zero) is refused after an
// open that cannot block, before anything is read.
bool ReadWholeFile(const std::string& path, long long maxBytes, std::string& text,
                   std::string& error) {
    // Looked at by name first: node's file system (the web build's headless runner) ignores
    // O_NONBLOCK, and its open of a FIFO waits for a writer that never comes.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error = "cannot read " + path + ": not a regular file";
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + path;
        return false;
    }
    bool ok = ::fstat(fd, &st) == 0;
    if (ok && !S_ISREG(st.st_mode)) {
        error = "cannot read " + path + ": not a regular file";
        ok = false;
    } else if (ok && st.st_size > maxBytes) {
        error = "cannot read " + path + ": larger than " + std::to_string(maxBytes >> 20) + " MB";
        ok = false;
    }
    text.clear();
    char buffer[65536];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = "cannot read " + path;
            ok = false;
        } else if (n == 0) {
            break;
        } else if (text.size() + static_cast<std::size_t>(n) > static_cast<std::size_t>(maxBytes)) {
            // Grew while being read.
            error =
                "cannot read " + path + ": larger than " + std::to_string(maxBytes >> 20) + " MB";
            ok = false;
        } else {
            text.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return ok;
}
