#include "AtomicFile.h"

#include "TemporaryFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace imageio {

namespace {

// What a path to write names once symbolic links are followed.
struct Target {
    std::string path;
    bool writeThrough = false; // exists and is neither a regular file nor a folder
};

bool resolveTarget(const std::string& path, Target& target, std::string& error)
{
    struct stat link { };
    if (::lstat(path.c_str(), &link) != 0) {
        if (errno != ENOENT) {
            error = writeFailure(path, std::strerror(errno));
            return false;
        }
        target = {path, false};
        return true;
    }
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0) {
        error = writeFailure(path, errno == ENOENT ? "it is a symbolic link to nothing" : std::strerror(errno));
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = writeFailure(path, std::strerror(EISDIR));
        return false;
    }
    if (!S_ISREG(info.st_mode) || !S_ISLNK(link.st_mode)) {
        target = {path, !S_ISREG(info.st_mode)};
        return true;
    }
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        error = writeFailure(path, std::strerror(errno));
        return false;
    }
    target = {resolved, false};
    std::free(resolved);
    return true;
}

bool writeAll(int fd, const std::vector<std::uint8_t>& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC;
        if (n <= 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Keeps the file at `target` (if any) under a second name beside it, so that it can be put back;
// `temporary` (a name of our own) gives that name. A hard link leaves the target in place until
// the new file replaces it; where the file system has none, the file is moved aside.
bool keepPrevious(const std::string& target, const std::string& temporary, std::string& backup)
{
    backup.clear();
    struct stat info { };
    if (::lstat(target.c_str(), &info) != 0)
        return errno == ENOENT;
    if (!S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EEXIST;
        return false;
    }
    const std::string name = temporary + ".previous";
    if (::link(target.c_str(), name.c_str()) != 0 && std::rename(target.c_str(), name.c_str()) != 0)
        return false;
    backup = name;
    return true;
}

bool isStandardStream(const std::string& path) { return path == "-"; }

// Standard output as the written file: a duplicate, so that closing it leaves stdout open.
int openStandardOutput(std::string& error)
{
    int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        error = writeFailure("-", std::strerror(errno));
    return fd;
}

bool readAll(int fd, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    std::uint8_t buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
}

} // namespace

std::string readFailure(const std::string& path, const std::string& reason)
{
    return (isStandardStream(path) ? "Failed to read standard input" : "Failed to read '" + path + "'") + ": " + reason;
}

std::string writeFailure(const std::string& path, const std::string& reason)
{
    return (isStandardStream(path) ? "Failed to write standard output" : "Failed to write '" + path + "'") + ": " +
        reason;
}

OutputFile::OutputFile(OutputFile&& other) noexcept { *this = std::move(other); }

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept
{
    if (this != &other) {
        discard();
        requested = std::move(other.requested);
        target = std::move(other.target);
        temporary = std::move(other.temporary);
        fd = other.fd;
        other.temporary.clear();
        other.fd = -1;
    }
    return *this;
}

OutputFile::~OutputFile() { discard(); }

bool OutputFile::open(const std::string& path, std::string& error)
{
    discard();
    requested = path;
    if (isStandardStream(path)) {
        target = path;
        fd = openStandardOutput(error);
        return fd >= 0;
    }
    Target resolved;
    if (!resolveTarget(path, resolved, error))
        return false;
    target = resolved.path;
    if (resolved.writeThrough) {
        fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            error = writeFailure(path, std::strerror(errno));
        return fd >= 0;
    }
    std::string name = target + ".partial-XXXXXX";
    TerminationSignalsHeld held;
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        error = writeFailure(path, std::strerror(errno));
        return false;
    }
    temporary = name;
    if (!registerTemporaryFile(temporary)) {
        ::unlink(temporary.c_str());
        temporary.clear();
        error = writeFailure(path, "too many files open for writing at once");
        return false;
    }
    // mkstemp creates the file private to the owner; give it the usual permissions.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    return true;
}

bool OutputFile::write(const std::vector<std::uint8_t>& bytes, std::string& error)
{
    if (writeAll(fd, bytes))
        return true;
    error = writeFailure(requested, std::strerror(errno));
    discard();
    return false;
}

bool OutputFile::closeFile(std::string& error)
{
    int result = ::close(fd);
    fd = -1;
    if (result == 0)
        return true;
    error = writeFailure(requested, std::strerror(errno));
    discard();
    return false;
}

bool OutputFile::commit(std::string& error)
{
    if (!closeFile(error))
        return false;
    if (temporary.empty())
        return true;
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = writeFailure(requested, std::strerror(errno));
        discard();
        return false;
    }
    unregisterTemporaryFile(temporary);
    temporary.clear();
    return true;
}

void OutputFile::discard()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    if (temporary.empty())
        return;
    ::unlink(temporary.c_str());
    unregisterTemporaryFile(temporary);
    temporary.clear();
}

bool commitAll(std::vector<OutputFile>& outputs, std::string& error)
{
    for (OutputFile& output : outputs)
        if (!output.closeFile(error))
            return false;
    TerminationSignalsHeld held;
    std::vector<std::string> backups(outputs.size());
    std::size_t replaced = 0;
    for (; replaced < outputs.size(); ++replaced) {
        OutputFile& output = outputs[replaced];
        if (output.temporary.empty())
            continue;
        if (!keepPrevious(output.target, output.temporary, backups[replaced]) ||
            std::rename(output.temporary.c_str(), output.target.c_str()) != 0) {
            error = writeFailure(output.requested, std::strerror(errno));
            break;
        }
    }
    const bool whole = replaced == outputs.size();
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        OutputFile& output = outputs[i];
        const bool isNew = i < replaced && !output.temporary.empty() && backups[i].empty();
        if (whole && !backups[i].empty())
            ::unlink(backups[i].c_str());
        else if (!whole && isNew)
            ::unlink(output.target.c_str());
        else if (!whole && !backups[i].empty())
            (void)std::rename(backups[i].c_str(), output.target.c_str()); // failing that, the backup keeps it
        if (whole) {
            unregisterTemporaryFile(output.temporary);
            output.temporary.clear();
        }
        output.discard();
    }
    return whole;
}

bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error)
{
    OutputFile output;
    return output.open(path, error) && output.write(bytes, error) && output.commit(error);
}

bool checkWritable(const std::string& path, std::string& error)
{
    if (isStandardStream(path)) {
        const int flags = ::fcntl(STDOUT_FILENO, F_GETFL);
        if (flags >= 0 && (flags & O_ACCMODE) != O_RDONLY)
            return true;
        error = writeFailure(path, flags < 0 ? std::strerror(errno) : "it is open for reading only");
        return false;
    }
    Target resolved;
    if (!resolveTarget(path, resolved, error))
        return false;
    if (resolved.writeThrough) {
        // Opening a FIFO or a device to try it would already be a use of it.
        if (::access(resolved.path.c_str(), W_OK) == 0)
            return true;
        error = writeFailure(path, std::strerror(errno));
        return false;
    }
    OutputFile probe;
    return probe.open(path, error);
}

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    if (isStandardStream(path)) {
        if (readAll(STDIN_FILENO, bytes))
            return true;
        error = readFailure(path, std::strerror(errno));
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = readFailure(path, std::strerror(errno));
        return false;
    }
    bytes.clear();
    std::uint8_t buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    bool ok = !std::ferror(file);
    if (!ok)
        error = readFailure(path, std::strerror(errno));
    (void)std::fclose(file); // read only: closing loses nothing
    return ok;
}

} // namespace imageio
