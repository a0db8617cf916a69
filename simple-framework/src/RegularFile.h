#ifndef KORVO_REGULAR_FILE_H
#define KORVO_REGULAR_FILE_H

#include <cstdio>

namespace KorvoSDK {

// fopen(filename, "rb") for regular files only: a folder, device or FIFO opens too, but has no
// length to read, so for the asset loaders it is a file that cannot be opened (null).
FILE* openRegularFile(const char* filename);

} // namespace KorvoSDK

#endif
