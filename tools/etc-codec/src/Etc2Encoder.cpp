#include "Etc2Encoder.h"

#include "Etc1Encoder.h"
#include "Etc2Block.h"
#include "FastSubblockEncoder.h"
#include "FastThEncoder.h"
#include "PlanarEncoder.h"
#include "ThEncoder.h"

#include <climits>

namespace etc {

namespace {

constexpr std::uint64_t opaqueBit = std::uint64_t{1} << 33;
// Punchthrough blocks without the opaque bit reserve selector (or paint colour) 2.
constexpr unsigned withoutTransparentSelector = 0xB;
constexpr std::uint8_t transparentSelector = 2;

// Keeps the candidate word whose decoded block is nearest the source.
class BestBlock {
public:
    BestBlock(const PixelBlock& source, bool punchthrough, const bool* opaque)
        : source(source), punchthrough(punchthrough), opaque(opaque)
    {
    }

    void consider(std::uint64_t word)
    {
        PixelBlock decoded;
        if (punchthrough) {
            decodePunchthroughBlock(word, decoded);
            if (!alphaMatches(decoded)) {
                return;
            }
        } else {
            decodeEtc2Block(word, decoded);
        }
        const long error = rgbBlockError(decoded, source, opaque);
        if (error < bestError) {
            bestError = error;
            bestWord = word;
        }
    }

    std::uint64_t word() const { return bestWord; }
    long error() const { return bestError; }

private:
    bool alphaMatches(const PixelBlock& decoded) const
    {
        for (int i = 0; i < texelsPerBlock; ++i) {
            if ((decoded.rgba[i][3] != 0) != opaque[i]) {
                return false;
            }
        }
        return true;
    }

    const PixelBlock& source;
    bool punchthrough;
    const bool* opaque;
    long bestError = LONG_MAX;
    std::uint64_t bestWord = 0;
};

// Errors (summed over the block's 48 channel values) above which the fast effort tries a
// further mode: the plane is cheapest and wins most smooth blocks; T and H are tried where it
// leaves the block below about 40 dB, the subblock modes where both leave it below about 27 dB.
constexpr long fastThFrom = 300;
constexpr long fastSubblocksFrom = 6000;

// The candidates' errors are exact, so no block needs decoding to compare them.
std::uint64_t encodeFastModes(const PixelBlock& block, const SearchSettings& settings)
{
    const PaletteKernel kernel = fastestPaletteKernel();
    const PlanarCandidate planar = encodePlanarMode(block, settings);
    std::uint64_t word = packPlanarMode(planar.params);
    long error = planar.error;
    if (error > fastThFrom) {
        const ThCandidate th = encodeThModesFast(block, kernel);
        if (th.error < error) {
            word = packThMode(th.params);
            error = th.error;
        }
    }
    if (error > fastSubblocksFrom) {
        const SubblockCandidate subblock = encodeSubblockModesFast(block, kernel);
        if (subblock.error < error) {
            word = packSubblockMode(subblock.params);
        }
    }
    return word;
}

// The complete subblock search goes last, so that only what beats the other modes needs searching;
// `keep` masks the word's bits.
void considerCompleteSubblocks(BestBlock& best, const PixelBlock& block, SubblockModeOptions subblock,
                               const SearchSettings& settings, std::uint64_t keep)
{
    subblock.below = best.error();
    const SubblockCandidate candidate = encodeSubblockModes(block, subblock, settings.etc2Subblocks);
    if (candidate.error != LONG_MAX) {
        best.consider(packSubblockMode(candidate.params) & keep);
    }
}

// T/H once more over the partitions ranked after those searched, where its block came close to the
// best; `keep` masks the word's bits.
void considerLatePartitions(BestBlock& best, const PixelBlock& block, const ThOptions& options, const ThCandidate& th,
                            const SearchSettings& settings, std::uint64_t keep)
{
    if (settings.thLatePartitions <= settings.thPartitions || th.error == LONG_MAX ||
        static_cast<double>(th.error) > settings.thLateWithin * static_cast<double>(best.error())) {
        return;
    }
    ThOptions late = options;
    late.skippedPartitions = settings.thPartitions;
    SearchSettings wider = settings;
    wider.thPartitions = settings.thLatePartitions;
    const ThCandidate candidate = encodeThModes(block, late, wider);
    if (candidate.error != LONG_MAX) {
        best.consider(packThMode(candidate.params) & keep);
    }
}

void considerOpaqueModes(BestBlock& best, const PixelBlock& block, bool allowIndividual, const SearchSettings& settings)
{
    SubblockModeOptions subblock;
    subblock.allowIndividual = allowIndividual;
    const bool subblocksLast = settings.etc2Subblocks.complete;
    if (!subblocksLast) {
        best.consider(packSubblockMode(encodeSubblockModes(block, subblock, settings.etc2Subblocks).params));
    }
    const ThCandidate th = encodeThModes(block, ThOptions{}, settings);
    if (th.error != LONG_MAX) {
        best.consider(packThMode(th.params));
    }
    best.consider(packPlanarMode(encodePlanarMode(block, settings).params));
    if (subblocksLast) {
        considerCompleteSubblocks(best, block, subblock, settings, ~std::uint64_t{0});
    }
    considerLatePartitions(best, block, ThOptions{}, th, settings, ~std::uint64_t{0});
}

} // namespace

std::uint64_t encodeEtc2Block(const PixelBlock& block, const SearchSettings& settings)
{
    if (settings.fastColourBlocks) {
        return encodeFastModes(block, settings);
    }
    BestBlock best(block, false, nullptr);
    considerOpaqueModes(best, block, true, settings);
    return best.word();
}

std::uint64_t encodePunchthroughBlock(const PixelBlock& block, const SearchSettings& settings)
{
    bool opaque[texelsPerBlock];
    bool anyTransparent = false;
    for (int i = 0; i < texelsPerBlock; ++i) {
        opaque[i] = block.rgba[i][3] >= 128;
        anyTransparent = anyTransparent || !opaque[i];
    }
    BestBlock best(block, true, opaque);
    if (!anyTransparent) {
        // Bit 33 set: the differential layout's flag doubles as the opaque bit.
        considerOpaqueModes(best, block, false, settings);
        return best.word();
    }
    SubblockModeOptions subblock;
    subblock.allowIndividual = false;
    subblock.modifiers = &transparentModifiers;
    subblock.selectorMask = withoutTransparentSelector;
    subblock.counted = opaque;
    subblock.uncountedSelector = transparentSelector;
    const bool subblocksLast = settings.etc2Subblocks.complete;
    if (!subblocksLast) {
        best.consider(packSubblockMode(encodeSubblockModes(block, subblock, settings.etc2Subblocks).params) &
                      ~opaqueBit);
    }

    ThOptions th;
    th.paintMask = withoutTransparentSelector;
    th.counted = opaque;
    th.uncountedSelector = transparentSelector;
    const ThCandidate thCandidate = encodeThModes(block, th, settings);
    if (thCandidate.error != LONG_MAX) {
        best.consider(packThMode(thCandidate.params) & ~opaqueBit);
    }
    if (subblocksLast) {
        considerCompleteSubblocks(best, block, subblock, settings, ~opaqueBit);
    }
    considerLatePartitions(best, block, th, thCandidate, settings, ~opaqueBit);
    return best.word();
}

} // namespace etc
