#ifndef ETC_FAST_TABLE_SEARCH_H
#define ETC_FAST_TABLE_SEARCH_H

#include "BlockLayout.h"
#include "Etc1Block.h"

#include <cstdint>
#include <vector>

// The inner loop of the fast subblock encoder: for one half of a block and one base colour,
// the error of each of the eight modifier tables when every texel takes its nearest entry.
// An entry's error is |c - p|^2 = |c|^2 - 2 c.p + |p|^2, so a texel's nearest entry follows
// from three multiply-adds per entry. The vector kernels compute in float lanes, which is
// exact here (every value is a whole number far below 2^24), so every kernel returns the very
// same errors as the portable one and the encoded bytes do not depend on the kernel.
namespace etc {

enum class TableKernel {
    Portable, // plain C++, every architecture
    Sse2,     // x86-64 baseline
    Avx2,     // x86-64 with AVX2 and FMA, chosen at run time
};

// The eight texels of one half, and their |c|^2 summed.
struct HalfColours {
    int r[kSubblockTexels];
    int g[kSubblockTexels];
    int b[kSubblockTexels];
    int squares;
};

HalfColours halfColours(const PixelBlock& block, bool flip, int half);

using TableErrors = int[8];

void halfTableErrors(TableKernel kernel, const HalfColours& half, const Rgb& base, TableErrors& errors);

// Each texel's nearest entry of `table` around `base` (the first of equals).
void halfSelectors(TableKernel kernel, const HalfColours& half, const Rgb& base, int table,
                   std::uint8_t (&selectors)[kSubblockTexels]);

// The kernels this machine can run, the portable one first.
const std::vector<TableKernel>& availableTableKernels();

// The fastest kernel this machine can run.
TableKernel fastestTableKernel();

const char* tableKernelName(TableKernel kernel);

} // namespace etc

#endif
