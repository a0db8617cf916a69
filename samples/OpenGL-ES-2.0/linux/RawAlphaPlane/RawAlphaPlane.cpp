// The colour is an ETC1 mipmap chain; the alpha plane is an uncompressed PGM greymap whose
// smaller levels the GL generates, so the alpha is exact at full size.

#include "AlphaPlaneSample.h"

#include "PgmAlphaTexture.h"

namespace {

// Only level 0 of the alpha plane is stored.
void loadPgmAlphaPlane(const std::string& textureBase, const char* alphaSuffix, GLuint* alphaTextureId)
{
    readPgmAlpha((textureBase + "0" + alphaSuffix).c_str(), alphaTextureId);
}

const AlphaPlaneVariant rawAlphaPlane = {
    "carpetHalved_uncompressed_mip_",
    "RawAlphaPlane_dualtex.vert",
    "RawAlphaPlane_dualtex.frag",
    "_alpha.pgm",
    loadPgmAlphaPlane,
};

} // namespace

int main() { return runAlphaPlaneSample(rawAlphaPlane); }
