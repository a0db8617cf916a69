#include "Etc2Block.h"

#include "Etc1Block.h"
#include "Etc2ModeBits.h"
#include "PlanarBlock.h"
#include "ThBlock.h"

#include <iterator>

namespace etc {

namespace {

// Decodes the colour of a block; returns its selectors for the modes that have them.
bool decodeColor(std::uint64_t word, Etc2Mode mode, const ModifierTables& modifiers, PixelBlock& out,
                 std::uint8_t (&selectors)[texelsPerBlock])
{
    switch (mode) {
    case Etc2Mode::Individual:
    case Etc2Mode::Differential: {
        const SubblockParams params = unpackSubblockMode(word, mode == Etc2Mode::Differential);
        decodeSubblockMode(params, modifiers, out);
        std::copy(std::begin(params.selectors), std::end(params.selectors), selectors);
        return true;
    }
    case Etc2Mode::T:
    case Etc2Mode::H: {
        const ThParams params = mode == Etc2Mode::T ? unpackTMode(word) : unpackHMode(word);
        decodeThMode(params, out);
        std::copy(std::begin(params.selectors), std::end(params.selectors), selectors);
        return true;
    }
    case Etc2Mode::Planar:
        decodePlanarMode(unpackPlanarMode(word), out);
        return false;
    }
    return false;
}

} // namespace

void decodeEtc2Block(std::uint64_t word, PixelBlock& out)
{
    std::uint8_t selectors[texelsPerBlock];
    decodeColor(word, detectEtc2Mode(word, false), etc1Modifiers, out, selectors);
}

void decodePunchthroughBlock(std::uint64_t word, PixelBlock& out)
{
    const bool opaque = bitField(word, 33, 1) != 0;
    const Etc2Mode mode = detectEtc2Mode(word, true);
    std::uint8_t selectors[texelsPerBlock];
    const bool hasSelectors = decodeColor(word, mode, opaque ? etc1Modifiers : transparentModifiers, out, selectors);
    if (opaque || !hasSelectors) {
        return;
    }
    for (int i = 0; i < texelsPerBlock; ++i) {
        if (selectors[i] == 2) {
            out.rgba[i][0] = out.rgba[i][1] = out.rgba[i][2] = out.rgba[i][3] = 0;
        }
    }
}

} // namespace etc
