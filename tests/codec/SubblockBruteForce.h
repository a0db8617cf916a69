#ifndef CODEC_TEST_SUBBLOCK_BRUTE_FORCE_H
#define CODEC_TEST_SUBBLOCK_BRUTE_FORCE_H

#include <algorithm>
#include <array>
#include <climits>

// The error of one half of a subblock-mode block worked out the slow way, from the format's
// description alone, for the searches to be checked against.
namespace codectest {

// The modifier tables as the ETC1 format lists them (selectors 0..3: +a, +b, -a, -b).
inline const int etc1Tables[8][4] = {{2, 8, -2, -8},       {5, 17, -5, -17},    {9, 29, -9, -29},
                                     {13, 42, -13, -42},   {18, 60, -18, -60},  {24, 80, -24, -80},
                                     {33, 106, -33, -106}, {47, 183, -47, -183}};

using HalfColours = std::array<std::array<int, 3>, 8>;

// A 4-bit or 5-bit base component widened to 8 bits.
inline int widen(int bits, int code) { return bits == 5 ? (code << 3) | (code >> 2) : code * 17; }

// Exact error of a half for one base code, best table, clamped as a decoder clamps.
inline long bruteHalfError(const HalfColours& texels, int bits, const std::array<int, 3>& code)
{
    long best = LONG_MAX;
    for (const auto& table : etc1Tables) {
        long sum = 0;
        for (const auto& texel : texels) {
            long nearest = LONG_MAX;
            for (int m : table) {
                long d = 0;
                for (int c = 0; c < 3; ++c) {
                    const int decoded = std::clamp(widen(bits, code[c]) + m, 0, 255);
                    d += (decoded - texel[c]) * (decoded - texel[c]);
                }
                nearest = std::min(nearest, d);
            }
            sum += nearest;
        }
        best = std::min(best, sum);
    }
    return best;
}

} // namespace codectest

#endif
