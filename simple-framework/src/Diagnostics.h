#ifndef KORVO_DIAGNOSTICS_H
#define KORVO_DIAGNOSTICS_H

// Every diagnostic of the framework and the samples goes to standard error through these.

namespace KorvoSDK {

// Writes the formatted text and then a newline, even when the format already ends in
// one: messages that end in "\n" are followed by an empty line.
void logLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "Error: " followed by logLine.
void logError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A check that logError runs before it prints, which may end the process with the error
// that caused this one instead (the platform's, when the display has gone). Null: none.
void setErrorCauseCheck(void (*check)());

// "Out of memory at <file>:<line>" and exit status 1.
[[noreturn]] void exitOutOfMemory(const char* file, int line);

} // namespace KorvoSDK

// Ends the process with the out-of-memory message, located at the caller, when an
// allocation returned null.
#define checkAllocation(pointer)                                                                                       \
    do {                                                                                                               \
        if ((pointer) == nullptr)                                                                                      \
            ::KorvoSDK::exitOutOfMemory(__FILE__, __LINE__);                                                           \
    } while (0)

#endif
