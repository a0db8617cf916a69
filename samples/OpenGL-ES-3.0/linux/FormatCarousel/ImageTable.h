#ifndef FORMAT_CAROUSEL_IMAGE_TABLE_H
#define FORMAT_CAROUSEL_IMAGE_TABLE_H

#include <GLES3/gl3.h>

#include <string>

// The program's names live in its own namespace: the test suites link several programs'
// code into one executable.
namespace FormatCarousel {

// One format of the carousel: what is uploaded, from where, and the label shown with it.
struct ImageEntry {
    GLenum internalFormat;
    std::string fileName;   // full path, under texturesDirectory
    const char* formatName; // the format's Khronos name
    GLuint textureId;       // 0 until the texture is made
};

// Paths relative to the working directory, as the program finds its assets.
extern const std::string assetsDirectory;
extern const std::string texturesDirectory;
extern const std::string vertexShaderPath;
extern const std::string fragmentShaderPath;

constexpr unsigned imageCount = 10;

// The ten ETC2/EAC formats in the order they are shown. The linear and sRGB variant of a
// format share a file but each gets its own texture.
extern ImageEntry imageArray[imageCount];

} // namespace FormatCarousel

#endif
