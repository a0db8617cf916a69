#ifndef ETC_TH_ENCODER_H
#define ETC_TH_ENCODER_H

#include "BlockLayout.h"
#include "EncoderSettings.h"
#include "ThBlock.h"

// Encoder for ETC2's T and H modes: the block's colours split in two groups along their
// principal axis, each group seeds one base colour, the seeds rank the eight distances, and
// for the best of those the selectors and the 4-bit colours are refitted to each other in
// turn.
namespace etc {

struct ThOptions {
    // Paint colours the counted texels may use (punchthrough reserves paint 2).
    unsigned paintMask = 0xF;
    // Texels the error counts (null: all); the others get `uncountedSelector`.
    const bool* counted = nullptr;
    std::uint8_t uncountedSelector = 0;
    // The best-ranked colour partitions to pass over: a search before this one tried them.
    int skippedPartitions = 0;
};

struct ThCandidate {
    ThParams params;
    long error = 0;
};

// The better of the T and H blocks found.
ThCandidate encodeThModes(const PixelBlock& block, const ThOptions& options, const SearchSettings& settings);

} // namespace etc

#endif
