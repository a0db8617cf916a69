#ifndef ETC_ETC1_ENCODER_H
#define ETC_ETC1_ENCODER_H

#include "BlockLayout.h"
#include "EncoderSettings.h"
#include "Etc1Block.h"

#include <climits>
#include <cstdint>

// Encoder for the subblock modes (individual and differential, both flips), shared by ETC1,
// ETC2 and punchthrough alpha.
namespace etc {

struct SubblockModeOptions {
    bool allowIndividual = true;
    const ModifierTables* modifiers = &etc1Modifiers;
    unsigned selectorMask = 0xF;
    // Texels the error counts (null: all); the others get `uncountedSelector`.
    const bool* counted = nullptr;
    std::uint8_t uncountedSelector = 0;
    // The complete search keeps only an encoding whose error lies below this (none: error LONG_MAX).
    long below = LONG_MAX;
};

struct SubblockCandidate {
    SubblockParams params;
    long error = 0;
};

SubblockCandidate encodeSubblockModes(const PixelBlock& block, const SubblockModeOptions& options,
                                      const SubblockEffort& effort);

// A GL_ETC1_RGB8_OES block.
std::uint64_t encodeEtc1Block(const PixelBlock& block, const SearchSettings& settings);

} // namespace etc

#endif
