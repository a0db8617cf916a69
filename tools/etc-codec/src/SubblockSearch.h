#ifndef ETC_SUBBLOCK_SEARCH_H
#define ETC_SUBBLOCK_SEARCH_H

#include "BlockLayout.h"
#include "EncoderSettings.h"
#include "Etc1Block.h"
#include "TexelSet.h"

// Search for the base colour, modifier table and selectors of one half of a subblock-mode
// block: for the tables that a first estimate ranks best, alternate between choosing each
// texel's selector and refitting each component of the base to those selectors.
namespace etc {

// The eight texels of one half; `counted` may be null (all texels count).
using HalfTexels = TexelSet<kSubblockTexels>;
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
    std::uint8_t selectors[kSubblockTexels] = {}; // per lane of HalfTexels
    int error = 0;
};

struct HalfSearch {
    int bits = 5; // 4 individual, 5 differential
    const ModifierTables* modifiers = &kEtc1Modifiers;
    unsigned selectorMask = 0xF; // selectors the counted texels may use
};

HalfFit fitHalf(const HalfTexels& texels, const HalfSearch& search, const CodeRange& range,
                const SubblockEffort& effort);

} // namespace etc

#endif
