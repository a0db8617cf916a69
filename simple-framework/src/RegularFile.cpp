#include "RegularFile.h"

#include <sys/stat.h>

namespace KorvoSDK {

FILE* openRegularFile(const char* filename)
{
    FILE* file = fopen(filename, "rb");
    struct stat info { };
    if (file != nullptr && (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode))) {
        fclose(file);
        return nullptr;
    }
    return file;
}

} // namespace KorvoSDK
