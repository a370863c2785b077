#include "core/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

FILE* openRegularFile(const char* path, std::string& why, bool* missing)
{
    if (missing)
        *missing = false;
    // Non-blocking, so a FIFO without a writer opens at once and can be refused below.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (missing)
            *missing = errno == ENOENT;
        why = std::strerror(errno);
        return nullptr;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        why = S_ISDIR(info.st_mode) ? "is a directory" : "is not a regular file";
        ::close(fd);
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        why = std::strerror(errno);
        ::close(fd);
    }
    return file;
}

bool readRegularFile(const char* path, std::string& bytes, std::string& why, bool* missing, uint64_t maxBytes)
{
    FILE* file = openRegularFile(path, why, missing);
    if (!file)
        return false;
    struct stat info;
    if (::fstat(fileno(file), &info) == 0 && static_cast<uint64_t>(info.st_size) > maxBytes) {
        why = "is " + std::to_string(info.st_size) + " bytes, more than the " + std::to_string(maxBytes) +
              " bytes taken";
        std::fclose(file);
        return false;
    }
    bool ok = true;
    try {
        bytes.clear();
        if (info.st_size > 0)
            bytes.reserve(static_cast<size_t>(info.st_size));
        char block[65536];
        size_t got;
        while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
            if (bytes.size() + got > maxBytes) {
                why = "is longer than the " + std::to_string(maxBytes) + " bytes taken";
                ok = false;
                break;
            }
            bytes.append(block, got);
        }
        if (ok && std::ferror(file)) {
            why = std::strerror(errno);
            ok = false;
        }
    } catch (const std::bad_alloc&) {
        why = "does not fit in memory";
        ok = false;
    }
    std::fclose(file);
    if (!ok)
        bytes.clear();
    return ok;
}
