#include "PgmAlpha.h"

#include "Diagnostics.h"
#include "RegularFile.h"

#include <climits>
#include <cstdio>

namespace {

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// Read wider than int, so that sizes beyond what a texture can take are rejected rather
// than wrapped.
struct PgmHeader {
    long long width = 0;
    long long height = 0;
    long long maximumGrey = 0;
};

std::string describe(const char* format, const char* filename, const PgmHeader& header)
{
    char text[512];
    snprintf(text, sizeof text, format, filename, header.width, header.height);
    return text;
}

bool readHeader(FILE* file, const char* filename, PgmHeader& header, std::string& message)
{
    if (fscanf(file, "P5 %lld %lld %lld", &header.width, &header.height, &header.maximumGrey) != 3) {
        message = std::string("Error reading file header of ") + filename;
        return false;
    }
    if (header.maximumGrey != 255) {
        message = std::string("Alpha file ") + filename + " has wrong maximum gray value, must be 255";
        return false;
    }
    if (header.width <= 0 || header.height <= 0) {
        message = describe("Alpha file %s has size %lld x %lld, width and height must be positive", filename, header);
        return false;
    }
    return true;
}

long bytesLeft(FILE* file)
{
    const long here = ftell(file);
    fseek(file, 0, SEEK_END);
    const long end = ftell(file);
    fseek(file, here, SEEK_SET);
    return here < 0 || end < here ? 0 : end - here;
}

bool allocateRaster(FILE* file, const PgmHeader& header, const char* filename, PgmAlpha& alpha, std::string& message)
{
    // No texture takes more than INT_MAX bytes (its sides are ints, and far smaller).
    if (header.width > INT_MAX || header.height > INT_MAX || header.width * header.height > INT_MAX) {
        message = describe("Alpha file %s has size %lld x %lld, too large to load", filename, header);
        return false;
    }
    // A raster the file cannot hold is not allocated only to be found short.
    if (header.width * header.height > bytesLeft(file)) {
        message = std::string("Error reading ") + filename;
        return false;
    }
    alpha.pixels.reset(
        static_cast<unsigned char*>(calloc(static_cast<size_t>(header.width), static_cast<size_t>(header.height))));
    checkAllocation(alpha.pixels.get());
    alpha.width = static_cast<int>(header.width);
    alpha.height = static_cast<int>(header.height);
    return true;
}

} // namespace

bool parsePgmAlpha(FILE* file, const char* filename, PgmAlpha& alpha, std::string& message)
{
    PgmHeader header;
    if (!readHeader(file, filename, header, message))
        return false;
    // The single whitespace byte that ends the header.
    fgetc(file);
    if (!allocateRaster(file, header, filename, alpha, message))
        return false;
    const size_t size = static_cast<size_t>(alpha.width) * static_cast<size_t>(alpha.height);
    if (fread(alpha.pixels.get(), 1, size, file) != size) {
        message = std::string("Error reading ") + filename;
        return false;
    }
    return true;
}

PgmAlpha readPgmAlphaFile(const char* filename)
{
    const File file(KorvoSDK::openRegularFile(filename));
    if (!file) {
        KorvoSDK::logError("Failed to open '%s'\n", filename);
        exit(1);
    }
    PgmAlpha alpha;
    std::string message;
    if (!parsePgmAlpha(file.get(), filename, alpha, message)) {
        KorvoSDK::logError("%s", message.c_str());
        exit(1);
    }
    return alpha;
}
