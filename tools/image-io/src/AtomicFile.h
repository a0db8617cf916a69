#ifndef IMAGE_IO_ATOMIC_FILE_H
#define IMAGE_IO_ATOMIC_FILE_H

#include <cstdint>
#include <string>
#include <vector>

namespace imageio {

// The one way the tools write files. Every failure reads "Failed to write 'PATH': REASON".
// The path "-" names standard output ("Failed to write standard output: REASON"), written through.
//
// Where the bytes land: a symbolic link is followed (the link stays, its target is written; a
// link to nothing is refused). A regular file, or a name that does not exist yet, is written
// to a temporary file beside it that is renamed into place on commit, so readers see the old
// file or the whole new one. Anything else that exists (a device, a FIFO, a terminal) is
// written through, never replaced. SIGINT, SIGTERM and SIGHUP remove the temporary files of
// every output not yet committed before the process ends.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile(); // discards what was not committed

    // Creates the temporary file (or opens the file written through).
    bool open(const std::string& path, std::string& error);
    bool write(const std::vector<std::uint8_t>& bytes, std::string& error);
    // Puts the written file in place of the target.
    bool commit(std::string& error);

    const std::string& path() const { return requested; }

private:
    friend bool commitAll(std::vector<OutputFile>& outputs, std::string& error);

    bool closeFile(std::string& error);
    void discard();

    std::string requested; // the path as the caller named it, for messages
    std::string target;    // what the path resolves to
    std::string temporary; // empty when written through
    int fd = -1;
};

// Commits outputs as one unit: either every target is replaced or, when one cannot be, the
// targets already replaced get their previous files back and no output is left.
bool commitAll(std::vector<OutputFile>& outputs, std::string& error);

// Opens, writes and commits in one step.
bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);

// Whether `path` could be written now, tried without leaving anything behind, so that a tool
// fails before a long computation rather than after it.
bool checkWritable(const std::string& path, std::string& error);

// Reads a whole file; "-" reads standard input. Every failure reads "Failed to read 'PATH': REASON"
// ("Failed to read standard input: REASON").
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

// The shapes of the messages, for the readers and writers that find a fault in the data.
std::string readFailure(const std::string& path, const std::string& reason);
std::string writeFailure(const std::string& path, const std::string& reason);

} // namespace imageio

#endif
