#ifndef KORVO_TEXTURE_H
#define KORVO_TEXTURE_H

#include "ETCHeader.h"

#include <GLES3/gl3.h>

#include <cstddef>
#include <string>

// Texture data for the samples: whole files, PKM files, ETC1 mipmap chains, blank buffers.
// Every failure ends the process with exit status 1, after an "Error: " message where the
// cause is not a GL error. Buffers handed out belong to the caller.
namespace KorvoSDK {
namespace Texture {

// Exactly the bytes of the file in a heap block (released with free()); no terminator is
// added. The file's length goes to `length` when it is not null.
void readWholeFile(const char* filename, unsigned char** data, size_t* length = nullptr);

// Reads the whole file, copies its size fields into *etcHeader and points *textureData at
// the payload (byte 16). The heap block to free() starts 16 bytes before *textureData.
// A file shorter than the header is rejected; the payload is not checked, as the format is
// not known here: loaders that know it use loadPkmFileForFormat.
void loadPkmFile(const char* filename, ETCHeader* etcHeader, unsigned char** textureData);

// loadPkmFile, and the file must also hold the whole payload that its header implies for
// internalFormat, so an upload of imageSize(internalFormat) bytes stays inside the block.
void loadPkmFileForFormat(const char* filename, GLenum internalFormat, ETCHeader* etcHeader,
                          unsigned char** textureData);

// GL_COMPRESSED_TEXTURE_FORMATS in a new heap array of *count entries (free() it).
void queryCompressedFormats(GLint** formats, GLint* count);

// Whether GL_ETC1_RGB8_OES is among the compressed formats; verbose lists them first.
bool etc1Supported(bool verbose);

// Generates a texture, stores its name and leaves it bound to GL_TEXTURE_2D on the active
// unit, then uploads every level from filenameBase + level + filenameSuffix, one file in
// memory at a time. The level count follows from the size in level 0's header, down to
// 1 x 1; each level is uploaded with the sizes of its own header. No texture parameters
// are set.
void loadEtc1MipmapChain(const char* filenameBase, const char* filenameSuffix, GLuint* textureId);

// Levels of a full chain from width x height down to 1 x 1, each side halved (truncating)
// while above 1.
int mipmapLevelCount(int width, int height);

// filenameBase + the decimal level (no leading zeros) + filenameSuffix.
std::string mipmapLevelFileName(const char* filenameBase, int level, const char* filenameSuffix);

// width x height bytes, each set to the low 8 bits of value; release with releaseData.
void createFilledData(int width, int height, int value, unsigned char** data);

// Frees the block *data points to; *data itself is left as it is.
void releaseData(unsigned char** data);

} // namespace Texture
} // namespace KorvoSDK

#endif
