// ETC1 has no alpha channel: the alpha plane travels as a second ETC1 mipmap chain, on
// texture unit 1, read by the fragment shader beside the colour on unit 0.

#include "AlphaPlaneSample.h"

#include "Texture.h"

namespace {

void loadAlphaChain(const std::string& textureBase, const char* alphaSuffix, GLuint* alphaTextureId)
{
    KorvoSDK::Texture::loadEtc1MipmapChain(textureBase.c_str(), alphaSuffix, alphaTextureId);
}

const AlphaPlaneVariant packedAlphaPlane = {
    "carpetHalved_compressed_mip_",
    "PackedAlphaPlane_dualtex.vert",
    "PackedAlphaPlane_dualtex.frag",
    "_alpha.pkm",
    loadAlphaChain,
};

} // namespace

int main() { return runAlphaPlaneSample(packedAlphaPlane); }
