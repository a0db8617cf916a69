#ifndef PGM_ALPHA_H
#define PGM_ALPHA_H

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

// An alpha plane as a binary PGM greymap: "P5", then width, height and the maximum grey
// value 255 as decimal numbers separated by any whitespace (no comments), one separator
// byte, then width x height bytes, rows from the top, 0 transparent and 255 opaque.
struct PgmAlpha {
    struct FreeDeleter {
        void operator()(unsigned char* bytes) const { free(bytes); }
    };

    int width = 0;
    int height = 0;
    std::unique_ptr<unsigned char[], FreeDeleter> pixels;
};

// Parses an alpha plane from an open file, without ending the process: on failure returns
// false with the message readPgmAlphaFile prints. `filename` is only named in the message.
bool parsePgmAlpha(FILE* file, const char* filename, PgmAlpha& alpha, std::string& message);

// Reads the whole alpha plane. Bytes after the raster are ignored. A file that cannot be
// opened, a header that does not parse, a maximum grey value other than 255, a size that is
// not positive or too large for a texture (over INT_MAX bytes), and a raster that is too short each end the process
// with an "Error: " message naming the file and exit status 1.
PgmAlpha readPgmAlphaFile(const char* filename);

#endif
