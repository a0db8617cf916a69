// The framework's PGM alpha plane parser, on the bytes as an open file.
#include "FuzzInput.h"

#include "PgmAlpha.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr)
        return 0;
    PgmAlpha alpha;
    std::string message;
    parsePgmAlpha(file, "input", alpha, message);
    std::fclose(file);
    return 0;
}
