#ifndef ETC_FAST_PALETTE_SEARCH_H
#define ETC_FAST_PALETTE_SEARCH_H

#include "BlockLayout.h"
#include "Etc1Block.h"

#include <cstdint>
#include <vector>

// The inner loops of the fast encoders: for a group of texels and eight candidate palettes of
// four colours (the modifier tables around one base, or the distances of a T or H block), the
// error of each candidate when every texel takes its nearest colour. A colour's error is
// |c - p|^2 = |c|^2 - 2 c.p + |p|^2, three multiply-adds per texel and colour. The vector
// kernels compute in float lanes, which is exact here (every value is a whole number far
// below 2^24), so every kernel returns the very same numbers as the portable one and the
// encoded bytes do not depend on the kernel.
namespace etc {

enum class PaletteKernel {
    Portable, // plain C++, every architecture
    Sse2,     // x86-64 baseline
    Avx2,     // x86-64 with AVX2 and FMA, chosen at run time
};

// The kernels this machine can run, the portable one first, the fastest last. Every kernel
// argument below must be one of these.
const std::vector<PaletteKernel>& availablePaletteKernels();
PaletteKernel fastestPaletteKernel();
const char* paletteKernelName(PaletteKernel kernel);

// A half (8) or a whole block (16) of texels, and their |c|^2 summed.
template <int N>
struct TexelColours {
    int r[N];
    int g[N];
    int b[N];
    int squares;
};

using HalfColours = TexelColours<texelsPerSubblock>;
using BlockColours = TexelColours<texelsPerBlock>;

// Both flips' halves, [flip][half], lanes in the order of subblockTexels.
void blockHalves(const PixelBlock& block, HalfColours (&halves)[2][2]);
BlockColours blockColours(const PixelBlock& block);

constexpr int candidateCount = 8;

// Eight palettes, colour candidate * 4 + entry, with |p|^2 beside.
struct CandidatePalettes {
    alignas(32) float r[candidateCount * 4];
    alignas(32) float g[candidateCount * 4];
    alignas(32) float b[candidateCount * 4];
    alignas(32) float squares[candidateCount * 4];
};

// What each candidate adds to the base colour of each entry.
struct PaletteOffsets {
    alignas(32) float values[candidateCount * 4];
};

// The ETC1 modifier tables; the T and H distances (T: paint 0 the first colour, 1 to 3 the
// second + d, + 0, - d; H: the first +- d, the second +- d).
extern const PaletteOffsets modifierOffsets;
extern const PaletteOffsets tOffsets;
extern const PaletteOffsets hOffsets;

// Entry s of every candidate: bases[s] + the candidate's offset, clamped as a decoder does.
CandidatePalettes offsetPalettes(PaletteKernel kernel, const Rgb (&bases)[4], const PaletteOffsets& offsets);

using CandidateErrors = int[candidateCount];

void paletteErrors(PaletteKernel kernel, const HalfColours& texels, const CandidatePalettes& palettes,
                   CandidateErrors& errors);
void paletteErrors(PaletteKernel kernel, const BlockColours& texels, const CandidatePalettes& palettes,
                   CandidateErrors& errors);

// Each texel's nearest colour of `palette` (the first of equals).
void nearestColours(PaletteKernel kernel, const HalfColours& texels, const Rgb (&palette)[4],
                    std::uint8_t (&chosen)[texelsPerSubblock]);
void nearestColours(PaletteKernel kernel, const BlockColours& texels, const Rgb (&palette)[4],
                    std::uint8_t (&chosen)[texelsPerBlock]);

} // namespace etc

#endif
