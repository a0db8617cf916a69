#ifndef IMAGE_IO_TEMPORARY_FILES_H
#define IMAGE_IO_TEMPORARY_FILES_H

#include <csignal>
#include <string>

namespace imageio {

// The temporary files of outputs not yet committed. The first one registered installs handlers
// for SIGINT, SIGTERM and SIGHUP (where they are not handled or ignored already) that remove
// every registered file and then end the process by the same signal.
bool registerTemporaryFile(const std::string& path);
void unregisterTemporaryFile(const std::string& path);

// Holds those signals back while it lives: renames that must happen together are not cut
// short, and a signal that came meanwhile ends the process afterwards.
class TerminationSignalsHeld {
public:
    TerminationSignalsHeld();
    ~TerminationSignalsHeld();
    TerminationSignalsHeld(const TerminationSignalsHeld&) = delete;
    TerminationSignalsHeld& operator=(const TerminationSignalsHeld&) = delete;

private:
    sigset_t previous;
};

} // namespace imageio

#endif
