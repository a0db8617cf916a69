#include "Texture.h"

#include "Diagnostics.h"
#include "ErrorChecks.h"
#include "RegularFile.h"

#include <GLES2/gl2ext.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace KorvoSDK {
namespace Texture {

namespace {

// The header is trusted for its sizes but not for the file's length: an upload must never
// read past the end of the block.
void requirePkmHeader(const char* filename, size_t length)
{
    if (length < static_cast<size_t>(ETCHeader::pkmHeaderSize)) {
        logError("PKM file '%s' is %zu bytes long, shorter than its %d-byte header\n", filename, length,
                 ETCHeader::pkmHeaderSize);
        exit(1);
    }
}

void requirePkmPayload(const char* filename, size_t length, const ETCHeader& header, GLenum internalFormat)
{
    const size_t payload = length - ETCHeader::pkmHeaderSize;
    // imageSize wraps for claims beyond 2 GiB; unsigned, it is the size the header means.
    const size_t needed = static_cast<unsigned>(header.imageSize(internalFormat));
    if (payload < needed) {
        logError("PKM file '%s' holds %zu payload bytes, its header needs %zu for format 0x%.4x\n", filename, payload,
                 needed, internalFormat);
        exit(1);
    }
}

int decimalDigits(int value)
{
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

// One level's whole file, checked to hold the ETC1 payload its own header implies.
unsigned char* readEtc1LevelFile(const char* filename, ETCHeader* header)
{
    unsigned char* file = nullptr;
    size_t length = 0;
    readWholeFile(filename, &file, &length);
    requirePkmHeader(filename, length);
    *header = ETCHeader(file);
    requirePkmPayload(filename, length, *header, GL_ETC1_RGB8_OES);
    return file;
}

void uploadEtc1LevelAndRelease(GLint level, const ETCHeader& header, unsigned char* file)
{
    glCompressedTexImage2D(GL_TEXTURE_2D, level, GL_ETC1_RGB8_OES, header.width(), header.height(), 0,
                           header.imageSize(GL_ETC1_RGB8_OES), file + ETCHeader::pkmHeaderSize);
    checkGl();
    free(file);
}

// loadPkmFile's steps, handing back the file's length for the checks that know the format.
size_t loadPkmFileWithLength(const char* filename, ETCHeader* etcHeader, unsigned char** textureData)
{
    unsigned char* file = nullptr;
    size_t length = 0;
    readWholeFile(filename, &file, &length);

    if (textureData == nullptr) {
        logError("textureData is a NULL pointer.");
        exit(1);
    }
    if (etcHeader == nullptr) {
        logError("etcHeader is a NULL pointer.");
        exit(1);
    }
    if (file == nullptr) {
        logError("Could not load data from file %s.", filename);
        exit(1);
    }
    requirePkmHeader(filename, length);

    *etcHeader = ETCHeader(file);
    *textureData = file + ETCHeader::pkmHeaderSize;
    return length;
}

void printCompressedFormats(const GLint* formats, GLint count)
{
    logLine("Number of texture formats supported: %d\nFormats:\n", count);
    for (GLint i = 0; i < count; ++i) {
        logLine("0x%.8x\t", formats[i]);
        logLine(formats[i] == GL_ETC1_RGB8_OES ? "GL_ETC1_RGB8_OES\n" : "UNKNOWN\n");
    }
}

} // namespace

void readWholeFile(const char* filename, unsigned char** data, size_t* length)
{
    FILE* file = openRegularFile(filename);
    if (file == nullptr) {
        logError("Failed to open '%s'\n", filename);
        exit(1);
    }
    fseek(file, 0, SEEK_END);
    const long end = ftell(file);
    if (end < 0) {
        logError("Failed to read in '%s'\n", filename);
        exit(1);
    }
    const size_t size = static_cast<size_t>(end);

    // One byte more than nothing, so that an empty file still gives a valid block.
    unsigned char* block = static_cast<unsigned char*>(calloc(size > 0 ? size : 1, 1));
    checkAllocation(block);

    fseek(file, 0, SEEK_SET);
    if (fread(block, 1, size, file) != size) {
        logError("Failed to read in '%s'\n", filename);
        exit(1);
    }
    fclose(file);
    *data = block;
    if (length != nullptr)
        *length = size;
}

void loadPkmFile(const char* filename, ETCHeader* etcHeader, unsigned char** textureData)
{
    loadPkmFileWithLength(filename, etcHeader, textureData);
}

void loadPkmFileForFormat(const char* filename, GLenum internalFormat, ETCHeader* etcHeader,
                          unsigned char** textureData)
{
    const size_t length = loadPkmFileWithLength(filename, etcHeader, textureData);
    requirePkmPayload(filename, length, *etcHeader, internalFormat);
}

void queryCompressedFormats(GLint** formats, GLint* count)
{
    glGetIntegerv(GL_NUM_COMPRESSED_TEXTURE_FORMATS, count);
    checkGl();
    GLint* list = static_cast<GLint*>(calloc(*count > 0 ? static_cast<size_t>(*count) : 1, sizeof(GLint)));
    checkAllocation(list);
    *formats = list;
    glGetIntegerv(GL_COMPRESSED_TEXTURE_FORMATS, list);
    checkGl();
}

bool etc1Supported(bool verbose)
{
    GLint* formats = nullptr;
    GLint count = 0;
    queryCompressedFormats(&formats, &count);
    if (verbose)
        printCompressedFormats(formats, count);

    bool found = false;
    for (GLint i = 0; i < count; ++i)
        found = found || formats[i] == GL_ETC1_RGB8_OES;
    free(formats);
    return found;
}

int mipmapLevelCount(int width, int height)
{
    int levelCount = 1;
    while (width > 1 || height > 1) {
        ++levelCount;
        if (width > 1)
            width /= 2;
        if (height > 1)
            height /= 2;
    }
    return levelCount;
}

std::string mipmapLevelFileName(const char* filenameBase, int level, const char* filenameSuffix)
{
    const int digitCount = decimalDigits(level);
    char* digits = static_cast<char*>(calloc(static_cast<size_t>(digitCount) + 1, 1));
    checkAllocation(digits);
    snprintf(digits, static_cast<size_t>(digitCount) + 1, "%i", level);
    std::string name = std::string(filenameBase) + digits + filenameSuffix;
    free(digits);
    return name;
}

void loadEtc1MipmapChain(const char* filenameBase, const char* filenameSuffix, GLuint* textureId)
{
    glGenTextures(1, textureId);
    checkGl();
    glBindTexture(GL_TEXTURE_2D, *textureId);
    checkGl();

    ETCHeader header;
    unsigned char* file = readEtc1LevelFile(mipmapLevelFileName(filenameBase, 0, filenameSuffix).c_str(), &header);
    const int levelCount = mipmapLevelCount(header.width(), header.height());
    uploadEtc1LevelAndRelease(0, header, file);

    for (int level = 1; level < levelCount; ++level) {
        file = readEtc1LevelFile(mipmapLevelFileName(filenameBase, level, filenameSuffix).c_str(), &header);
        uploadEtc1LevelAndRelease(level, header, file);
    }
}

void createFilledData(int width, int height, int value, unsigned char** data)
{
    const size_t size = static_cast<size_t>(width) * static_cast<size_t>(height);
    unsigned char* block = static_cast<unsigned char*>(malloc(size > 0 ? size : 1));
    checkAllocation(block);
    if (size != 0)
        memset(block, value & 0xFF, size);
    *data = block;
}

void releaseData(unsigned char** data) { free(*data); }

} // namespace Texture
} // namespace KorvoSDK
