#include "ImageTable.h"

namespace FormatCarousel {

// Defined in this order in one file: each path is built from the ones above it during
// static initialisation.
const std::string assetsDirectory = "assets/";
const std::string texturesDirectory = assetsDirectory + "textures/compressed/";
const std::string vertexShaderPath = assetsDirectory + "vertex_shader_source.vert";
const std::string fragmentShaderPath = assetsDirectory + "fragment_shader_source.frag";

ImageEntry imageArray[imageCount] = {
    {GL_COMPRESSED_R11_EAC, texturesDirectory + "HeightMap.pkm", "GL_COMPRESSED_R11_EAC", 0},
    {GL_COMPRESSED_SIGNED_R11_EAC, texturesDirectory + "HeightMapSigned.pkm", "GL_COMPRESSED_SIGNED_R11_EAC", 0},
    {GL_COMPRESSED_RG11_EAC, texturesDirectory + "BumpMap.pkm", "GL_COMPRESSED_RG11_EAC", 0},
    {GL_COMPRESSED_SIGNED_RG11_EAC, texturesDirectory + "BumpMapSigned.pkm", "GL_COMPRESSED_SIGNED_RG11_EAC", 0},
    {GL_COMPRESSED_RGB8_ETC2, texturesDirectory + "Texture.pkm", "GL_COMPRESSED_RGB8_ETC2", 0},
    {GL_COMPRESSED_SRGB8_ETC2, texturesDirectory + "Texture.pkm", "GL_COMPRESSED_SRGB8_ETC2", 0},
    {GL_COMPRESSED_RGBA8_ETC2_EAC, texturesDirectory + "SemiAlpha.pkm", "GL_COMPRESSED_RGBA8_ETC2_EAC", 0},
    {GL_COMPRESSED_SRGB8_ALPHA8_ETC2_EAC, texturesDirectory + "SemiAlpha.pkm", "GL_COMPRESSED_SRGB8_ALPHA8_ETC2_EAC",
     0},
    {GL_COMPRESSED_RGB8_PUNCHTHROUGH_ALPHA1_ETC2, texturesDirectory + "BinaryAlpha.pkm",
     "GL_COMPRESSED_RGB8_PUNCHTHROUGH_ALPHA1_ETC2", 0},
    {GL_COMPRESSED_SRGB8_PUNCHTHROUGH_ALPHA1_ETC2, texturesDirectory + "BinaryAlpha.pkm",
     "GL_COMPRESSED_SRGB8_PUNCHTHROUGH_ALPHA1_ETC2", 0},
};

} // namespace FormatCarousel
