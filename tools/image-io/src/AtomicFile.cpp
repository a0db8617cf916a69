#include "AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace imageio {

namespace {

std::string describeErrno(const std::string& action, const std::string& path)
{
    return action + " '" + path + "': " + std::strerror(errno);
}

bool writeAll(int fd, const std::vector<std::uint8_t>& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error)
{
    std::string temporary = path + ".partial-XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = describeErrno("Failed to create", path);
        return false;
    }
    // mkstemp creates the file private to the owner; give it the usual permissions.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);

    bool ok = writeAll(fd, bytes);
    if (!ok)
        error = describeErrno("Failed to write", path);
    if (::close(fd) != 0 && ok) {
        error = describeErrno("Failed to write", path);
        ok = false;
    }
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = describeErrno("Failed to write", path);
        ok = false;
    }
    if (!ok)
        (void)std::remove(temporary.c_str()); // best effort: the failure is reported already
    return ok;
}

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = describeErrno("Failed to open", path);
        return false;
    }
    bytes.clear();
    std::uint8_t buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    bool ok = !std::ferror(file);
    if (!ok)
        error = describeErrno("Failed to read", path);
    (void)std::fclose(file); // read only: closing loses nothing
    return ok;
}

} // namespace imageio
