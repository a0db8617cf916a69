#ifndef ETC_SUBBLOCK_SEARCH_H
#define ETC_SUBBLOCK_SEARCH_H

#include "BlockLayout.h"
#include "Etc1Block.h"
#include "EncoderSettings.h"

// Search for the base colour, modifier table and selectors of one half of a subblock-mode
// block: for the tables that a first estimate ranks best, alternate between choosing each
// texel's selector and refitting each component of the base to those selectors.
namespace etc {

// The texels of one half that the error counts (punchthrough leaves out transparent ones).
struct HalfTexels {
    int count = 0;
    int index[kSubblockTexels] = {}; // raster indices
    int r[kSubblockTexels] = {};
    int g[kSubblockTexels] = {};
    int b[kSubblockTexels] = {};
};

// `counted` may be null (all texels count).
HalfTexels gatherHalf(const PixelBlock& block, bool flip, int half, const bool* counted);

// Allowed stored codes per component.
struct CodeRange {
    Rgb low;
    Rgb high;
};

CodeRange fullCodeRange(int bits);

struct HalfFit {
    Rgb code;
    int table = 0;
    std::uint8_t selectors[kSubblockTexels] = {}; // per counted texel, in HalfTexels order
    int error = 0;
};

struct HalfSearch {
    int bits = 5; // 4 individual, 5 differential
    const ModifierTables* modifiers = &kEtc1Modifiers;
    unsigned selectorMask = 0xF; // selectors the counted texels may use
};

HalfFit fitHalf(const HalfTexels& texels, const HalfSearch& search, const CodeRange& range,
                const SearchSettings& settings);

} // namespace etc

#endif
