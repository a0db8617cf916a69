#ifndef ETC_EAC_LEVEL_ERROR_H
#define ETC_EAC_LEVEL_ERROR_H

#include "BlockLayout.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The inner loop of the quick EAC search. A candidate's eight levels are
// clamp(baseValue + modifier * scale, lowest, highest), all within -1023..2047 (16 bits hold
// every intermediate: |modifier * scale| <= 15 * 120); its error is the sum over the 16
// targets of the squared distance to the nearest level. The vector version (SSE2, which
// every x86-64 processor has) and the portable one give the same results;
// candidateError is whichever this build has.
namespace etc {

struct LevelRule {
    const std::int16_t* modifiers; // eight
    int baseValue;
    int scale;
    int lowest;
    int highest;
};

void candidateLevelsPortable(const LevelRule& rule, std::int16_t (&levels)[8]);
int candidateErrorPortable(const std::int16_t (&targets)[texelsPerBlock], const LevelRule& rule);

#if defined(__SSE2__)
// One level, in every lane, against the 16 targets: the distances (below 2^15, so 16-bit
// lanes hold them) lower the nearest so far.
inline void approachLevel(__m128i level, __m128i low, __m128i high, __m128i& nearestLow, __m128i& nearestHigh)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i dLow = _mm_sub_epi16(low, level);
    const __m128i dHigh = _mm_sub_epi16(high, level);
    nearestLow = _mm_min_epi16(nearestLow, _mm_max_epi16(dLow, _mm_sub_epi16(zero, dLow)));
    nearestHigh = _mm_min_epi16(nearestHigh, _mm_max_epi16(dHigh, _mm_sub_epi16(zero, dHigh)));
}

// Inline, as it runs some twenty times per block; written out level by level, since the
// compiler keeps loops over vectors in memory.
inline int candidateErrorSse2(const std::int16_t (&targets)[texelsPerBlock], const LevelRule& rule)
{
    const __m128i modifiers = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rule.modifiers));
    __m128i levels = _mm_add_epi16(_mm_set1_epi16(static_cast<std::int16_t>(rule.baseValue)),
                                   _mm_mullo_epi16(modifiers, _mm_set1_epi16(static_cast<std::int16_t>(rule.scale))));
    levels = _mm_max_epi16(levels, _mm_set1_epi16(static_cast<std::int16_t>(rule.lowest)));
    levels = _mm_min_epi16(levels, _mm_set1_epi16(static_cast<std::int16_t>(rule.highest)));
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(targets));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(targets + 8));
    __m128i nearestLow = _mm_set1_epi16(INT16_MAX);
    __m128i nearestHigh = nearestLow;
    // Each level in every lane: the levels doubled into 32-bit pairs, each pair spread.
    const __m128i first = _mm_unpacklo_epi16(levels, levels);
    const __m128i second = _mm_unpackhi_epi16(levels, levels);
    approachLevel(_mm_shuffle_epi32(first, 0x00), low, high, nearestLow, nearestHigh);
    approachLevel(_mm_shuffle_epi32(first, 0x55), low, high, nearestLow, nearestHigh);
    approachLevel(_mm_shuffle_epi32(first, 0xAA), low, high, nearestLow, nearestHigh);
    approachLevel(_mm_shuffle_epi32(first, 0xFF), low, high, nearestLow, nearestHigh);
    approachLevel(_mm_shuffle_epi32(second, 0x00), low, high, nearestLow, nearestHigh);
    approachLevel(_mm_shuffle_epi32(second, 0x55), low, high, nearestLow, nearestHigh);
    approachLevel(_mm_shuffle_epi32(second, 0xAA), low, high, nearestLow, nearestHigh);
    approachLevel(_mm_shuffle_epi32(second, 0xFF), low, high, nearestLow, nearestHigh);
    // Squares added in pairs into 32-bit lanes, then across.
    __m128i sum = _mm_add_epi32(_mm_madd_epi16(nearestLow, nearestLow), _mm_madd_epi16(nearestHigh, nearestHigh));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0x4E));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0xB1));
    return _mm_cvtsi128_si32(sum);
}
#endif

inline int candidateError(const std::int16_t (&targets)[texelsPerBlock], const LevelRule& rule)
{
#if defined(__SSE2__)
    return candidateErrorSse2(targets, rule);
#else
    return candidateErrorPortable(targets, rule);
#endif
}

} // namespace etc

#endif
