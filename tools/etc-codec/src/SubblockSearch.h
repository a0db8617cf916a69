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
using HalfTexels = TexelSet<texelsPerSubblock>;
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
    std::uint8_t selectors[texelsPerSubblock] = {}; // per lane of HalfTexels
    int error = 0;
};

struct HalfSearch {
    int bits = 5; // 4 individual, 5 differential
    const ModifierTables* modifiers = &etc1Modifiers;
    unsigned selectorMask = 0xF; // selectors the counted texels may use
};

HalfFit fitHalf(const HalfTexels& texels, const HalfSearch& search, const CodeRange& range,
                const SubblockEffort& effort);

// The selectors for a base code and table that are already chosen, and the best table with
// its selectors for a base code alone.
HalfFit fitTableAt(const HalfTexels& texels, const Rgb& code, int table, const HalfSearch& search);
HalfFit fitTablesAt(const HalfTexels& texels, const Rgb& code, const HalfSearch& search);

// The exact error (clamping included) of a base code and table, each texel at its best selector.
int halfError(const HalfTexels& texels, const Rgb& code, int table, const HalfSearch& search);

// Moves the base code of `start` on the exact error (clamping included) over every table while
// that lowers it, along any components at once: `longestStride` codes at a time first, down to
// single codes, at most `steps` moves of each stride.
HalfFit descendExactly(const HalfTexels& texels, const HalfSearch& search, const CodeRange& range, HalfFit start,
                       int steps, int longestStride);

} // namespace etc

#endif
