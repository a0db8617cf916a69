#include "PgmAlpha.h"

#include "Diagnostics.h"
#include "RegularFile.h"

#include <climits>
#include <cstdio>

using KorvoSDK::logError;
using KorvoSDK::openRegularFile;

namespace {

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

File openOrExit(const char* filename)
{
    File file(openRegularFile(filename));
    if (!file) {
        logError("Failed to open '%s'\n", filename);
        exit(1);
    }
    return file;
}

// Read wider than int, so that sizes beyond what a texture can take are rejected rather
// than wrapped.
struct PgmHeader {
    long long width = 0;
    long long height = 0;
    long long maximumGrey = 0;
};

PgmHeader readHeaderOrExit(FILE* file, const char* filename)
{
    PgmHeader header;
    if (fscanf(file, "P5 %lld %lld %lld", &header.width, &header.height, &header.maximumGrey) != 3) {
        logError("Error reading file header of %s", filename);
        exit(1);
    }
    if (header.maximumGrey != 255) {
        logError("Alpha file %s has wrong maximum gray value, must be 255", filename);
        exit(1);
    }
    if (header.width <= 0 || header.height <= 0) {
        logError("Alpha file %s has size %lld x %lld, width and height must be positive", filename, header.width,
                 header.height);
        exit(1);
    }
    return header;
}

[[noreturn]] void exitTooLarge(const PgmHeader& header, const char* filename)
{
    logError("Alpha file %s has size %lld x %lld, too large to load", filename, header.width, header.height);
    exit(1);
}

unsigned char* allocateRasterOrExit(const PgmHeader& header, const char* filename)
{
    // A texture's sides are ints; calloc itself refuses a product that overflows.
    if (header.width > INT_MAX || header.height > INT_MAX)
        exitTooLarge(header, filename);
    unsigned char* raster =
        static_cast<unsigned char*>(calloc(static_cast<size_t>(header.width), static_cast<size_t>(header.height)));
    if (raster == nullptr)
        exitTooLarge(header, filename);
    return raster;
}

} // namespace

PgmAlpha readPgmAlphaFile(const char* filename)
{
    const File file = openOrExit(filename);
    const PgmHeader header = readHeaderOrExit(file.get(), filename);
    // The single whitespace byte that ends the header.
    fgetc(file.get());

    PgmAlpha alpha;
    alpha.pixels.reset(allocateRasterOrExit(header, filename));
    alpha.width = static_cast<int>(header.width);
    alpha.height = static_cast<int>(header.height);
    const size_t size = static_cast<size_t>(alpha.width) * static_cast<size_t>(alpha.height);
    if (fread(alpha.pixels.get(), 1, size, file.get()) != size) {
        logError("Error reading %s", filename);
        exit(1);
    }
    return alpha;
}
