#include "Diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace KorvoSDK {

namespace {

void (*errorCauseCheck)() = nullptr;

void logLineV(const char* format, va_list arguments)
{
    vfprintf(stderr, format, arguments);
    fprintf(stderr, "\n");
}

} // namespace

void logLine(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    logLineV(format, arguments);
    va_end(arguments);
}

void setErrorCauseCheck(void (*check)()) { errorCauseCheck = check; }

void logError(const char* format, ...)
{
    if (errorCauseCheck != nullptr)
        errorCauseCheck();
    fprintf(stderr, "Error: ");
    va_list arguments;
    va_start(arguments, format);
    logLineV(format, arguments);
    va_end(arguments);
}

void exitOutOfMemory(const char* file, int line)
{
    logError("Out of memory at %s:%i\n", file, line);
    exit(1);
}

} // namespace KorvoSDK
