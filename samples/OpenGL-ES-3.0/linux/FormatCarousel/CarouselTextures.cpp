#include "CarouselTextures.h"

#include "Diagnostics.h"
#include "ErrorChecks.h"
#include "Texture.h"

#include <cstdlib>

using namespace KorvoSDK;

namespace FormatCarousel {

namespace {

void setTextureParameters()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    checkGl();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    checkGl();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    checkGl();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    checkGl();
}

} // namespace

bool initializeTexture(unsigned index)
{
    if (index >= imageCount) {
        logError("Incorrect value of index of imageArray.");
        return false;
    }
    ImageEntry& entry = imageArray[index];
    const std::string fileName = entry.fileName;

    // The header is checked against the file's length for this format, so the upload
    // never reads past the buffer.
    ETCHeader etcHeader;
    unsigned char* textureData = nullptr;
    Texture::loadPkmFileForFormat(fileName.c_str(), entry.internalFormat, &etcHeader, &textureData);
    if (textureData == nullptr) {
        logError("Could not load image data.");
        return false;
    }

    glGenTextures(1, &entry.textureId);
    checkGl();
    glBindTexture(GL_TEXTURE_2D, entry.textureId);
    checkGl();
    glCompressedTexImage2D(GL_TEXTURE_2D, 0, entry.internalFormat, etcHeader.width(), etcHeader.height(), 0,
                           etcHeader.imageSize(entry.internalFormat), textureData);
    checkGl();
    // The GL holds its own copy now; the file's block starts at its header.
    free(textureData - ETCHeader::pkmHeaderSize);

    setTextureParameters();
    return true;
}

void deleteTextures()
{
    for (ImageEntry& entry : imageArray) {
        glDeleteTextures(1, &entry.textureId);
        checkGl();
        entry.textureId = 0;
    }
}

} // namespace FormatCarousel
