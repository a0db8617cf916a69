#include "DisplayMode.h"

namespace FormatCarousel {

DisplayMode displayModeFor(GLenum internalFormat)
{
    switch (internalFormat) {
    case GL_COMPRESSED_R11_EAC:
        return ShowGrey;
    case GL_COMPRESSED_SIGNED_R11_EAC:
        return ShowSignedGrey;
    case GL_COMPRESSED_RG11_EAC:
        return ShowNormals;
    case GL_COMPRESSED_SIGNED_RG11_EAC:
        return ShowSignedNormals;
    default:
        return ShowColour;
    }
}

} // namespace FormatCarousel
