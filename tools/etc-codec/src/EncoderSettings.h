#ifndef ETC_ENCODER_SETTINGS_H
#define ETC_ENCODER_SETTINGS_H

#include "EtcCodec.h"

// How hard the block searches look, per effort level.
namespace etc {

// The search of the subblock modes.
struct SubblockEffort {
    // Modifier tables refined per half (of 8, ranked by a first estimate), and the rounds of
    // selector choice and base refit for each.
    int refinedTables;
    int refineRounds;
    // Whether individual mode is tried even when the differential bases fit their range.
    bool alwaysTryIndividual;
    // The flip whose halves spread less around their means is searched; the other as well
    // when its spread is at most this many times as large.
    float otherFlipSpread;
    // Base colours searched exactly (but for clamping) this many codes around the halves'
    // means, 0 for none, and the best pairs of them scored again with clamping.
    int neighbourhoodRadius;
    int rescoredPairs;
    // Steps of a base code on the exact error after that, per half where the palette clamps;
    // thorough: strides of two codes before single ones, from the result of each search rather
    // than from the better one.
    int exactSteps;
    bool thoroughSteps;
    // Every flip, mode, base code and table, in place of all of the above (CompleteSubblockSearch.h).
    bool complete;
};

// The search of EAC blocks: every table sweeps its bases for the multipliers around the one
// whose outer modifiers span the block and around the one whose inner modifiers span its
// core. How far past the bases where the levels reach the texels a sweep goes, and how many
// of the best sweeps settle their base on the exact error, and how far. With `quick`, none of
// that: the quick search of EacFastEncoder.h.
struct EacEffort {
    int multipliersBelow;
    int multipliersAbove;
    int coreMultiplierReach;
    int baseMargin;
    int settledSweeps;
    int settledBases;
    bool quick;
};

struct SearchSettings {
    // GL_ETC1_RGB8_OES blocks, which have no other modes, and the ETC2 blocks, where the T, H
    // and planar modes compete with the subblock modes.
    SubblockEffort etc1Subblocks;
    SubblockEffort etc2Subblocks;
    // T and H modes: the colour partitions tried, the distances refined (of 8, ranked by
    // their error from the partition's colours) and the refit rounds for each.
    int thPartitions;
    int thRefinedDistances;
    int thRefineRounds;
    // Single steps of a colour or the distance on the exact error after that.
    int thExactSteps;
    // Planar mode: whether the rounded plane is refined over neighbouring codes.
    bool planarNeighbours;
    // Whether those codes also move together, all three a step at once.
    bool planarJointMoves;
    // EAC blocks of R11 and RG11, and the alpha blocks of RGBA8.
    EacEffort elevenBitEac;
    EacEffort alphaEac;
    // Opaque colour blocks take the fast encoders of the subblock and T/H modes instead of the
    // searches above.
    bool fastColourBlocks = false;
    // T/H partitions ranked after the first `thPartitions`, up to this many in all, searched once
    // every mode has been, where the T/H block comes within `thLateWithin` times the best
    // block's error: a near miss may win with another split.
    int thLatePartitions = 0;
    float thLateWithin = 0;
};

const SearchSettings& searchSettings(Effort effort);

} // namespace etc

#endif
