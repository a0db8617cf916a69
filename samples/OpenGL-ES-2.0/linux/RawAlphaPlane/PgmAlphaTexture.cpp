#include "PgmAlphaTexture.h"

#include "PgmAlpha.h"

#include "ErrorChecks.h"

using KorvoSDK::checkGl;

namespace {

// Rows of one-byte texels are packed, whatever the width: the default alignment of 4 would
// skew every row of a width that is not a multiple of 4.
void uploadPackedLuminance(const PgmAlpha& alpha)
{
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    checkGl();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    checkGl();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, alpha.width, alpha.height, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE,
                 alpha.pixels.get());
    checkGl();
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    checkGl();
}

} // namespace

void readPgmAlpha(const char* filename, GLuint* textureId)
{
    const PgmAlpha alpha = readPgmAlphaFile(filename);
    glGenTextures(1, textureId);
    checkGl();
    glBindTexture(GL_TEXTURE_2D, *textureId);
    checkGl();
    uploadPackedLuminance(alpha);
    glGenerateMipmap(GL_TEXTURE_2D);
    checkGl();
}
