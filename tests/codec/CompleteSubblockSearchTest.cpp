#include "BlockExpectations.h"
#include "Etc1Block.h"
#include "Etc1Encoder.h"
#include "Etc2Block.h"
#include "Etc2Encoder.h"
#include "SubblockBruteForce.h"

#include <algorithm>
#include <climits>
#include <vector>

using Texel = std::array<int, 3>;

namespace {

const etc::SearchSettings& exhaustive() { return etc::searchSettings(etc::Effort::Exhaustive); }

etc::PixelBlock blockOf(const std::array<Texel, 16>& texels)
{
    return codectest::makeBlock([&](int x, int y) {
        const Texel& t = texels[static_cast<std::size_t>(y) * 4 + static_cast<std::size_t>(x)];
        return std::array<int, 4>{t[0], t[1], t[2], 255};
    });
}

// clang-format off
// Blocks of photographs, a normal map and a cutout whose best encodings the searches around the
// halves' means miss: grey-blue beside saturated yellow (individual mode, palettes clamped at 0
// and 255), hues all over the place, and a smooth blue whose halves pull apart.
const std::array<Texel, 16> greyBesideYellow = {{
    {141, 149, 192}, {134, 142, 186}, {255, 228, 0}, {255, 214, 2},
    {123, 131, 175}, {136, 143, 187}, {255, 235, 7}, {247, 204, 0},
    {126, 134, 178}, {129, 137, 181}, {139, 146, 190}, {255, 215, 3},
    {140, 147, 191}, {132, 139, 183}, {133, 140, 184}, {255, 214, 2}}};
const std::array<Texel, 16> normals = {{
    {36, 116, 215}, {27, 122, 206}, {37, 130, 218}, {58, 146, 233},
    {48, 82, 216}, {44, 117, 223}, {57, 169, 226}, {72, 188, 225},
    {62, 72, 222}, {88, 93, 244}, {95, 146, 249}, {91, 192, 232},
    {70, 77, 229}, {111, 80, 245}, {152, 104, 250}, {153, 172, 244}}};
const std::array<Texel, 16> smoothBlue = {{
    {122, 147, 233}, {121, 147, 229}, {120, 148, 226}, {119, 149, 223},
    {122, 146, 234}, {121, 147, 230}, {120, 148, 227}, {120, 148, 225},
    {122, 146, 235}, {121, 147, 231}, {121, 148, 229}, {120, 148, 227},
    {122, 146, 236}, {122, 147, 233}, {121, 147, 231}, {121, 147, 230}}};

// Two noisy tones whose halves' own best differential bases lie too far apart: the best block
// pairs bases within the step, a little worse for each half, far better than individual mode.
const std::array<Texel, 16> twoTones = {{
    {44, 37, 64}, {39, 40, 63}, {90, 84, 111}, {85, 86, 111},
    {44, 41, 65}, {41, 44, 65}, {87, 83, 106}, {84, 81, 110},
    {43, 40, 70}, {41, 42, 69}, {90, 84, 113}, {86, 79, 112},
    {44, 36, 70}, {46, 36, 65}, {89, 87, 109}, {82, 86, 108}}};

// Black and white beside grey: only the widest table, clamped at both ends, gives the
// black-and-white half its two colours.
const std::array<Texel, 16> blackAndWhite = {{
    {0, 0, 0}, {255, 255, 255}, {120, 120, 120}, {124, 124, 124},
    {255, 255, 255}, {0, 0, 0}, {122, 122, 122}, {126, 126, 126},
    {0, 0, 0}, {255, 255, 255}, {120, 120, 120}, {124, 124, 124},
    {255, 255, 255}, {0, 0, 0}, {122, 122, 122}, {126, 126, 126}}};
// clang-format on

// A half's texels as the brute force takes them, and whether each counts.
struct HalfOfBlock {
    codectest::HalfColours colours;
    std::array<bool, 8> counted;
};

HalfOfBlock halfOf(const etc::PixelBlock& block, bool flip, int half)
{
    HalfOfBlock out;
    for (int lane = 0; lane < etc::texelsPerSubblock; ++lane) {
        const std::uint8_t* t = block.rgba[etc::subblockTexels(flip, half)[lane]];
        out.colours[static_cast<std::size_t>(lane)] = {t[0], t[1], t[2]};
        out.counted[static_cast<std::size_t>(lane)] = t[3] >= 128;
    }
    return out;
}

// Every base code of one half (32^3 or 16^3, index (r * n + g) * n + b) scored by `error`.
template <typename ErrorOf>
std::vector<long> everyCode(int bits, ErrorOf error)
{
    const int n = 1 << bits;
    const std::size_t count = static_cast<std::size_t>(n) * static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
    std::vector<long> errors(count);
    for (int code = 0; code < n * n * n; ++code) {
        errors[static_cast<std::size_t>(code)] = error(std::array<int, 3>{code / (n * n), code / n % n, code % n});
    }
    return errors;
}

std::vector<long> everyCodeOfHalf(const etc::PixelBlock& block, bool flip, int half, int bits)
{
    const HalfOfBlock h = halfOf(block, flip, half);
    return everyCode(bits,
                     [&](const std::array<int, 3>& code) { return codectest::bruteHalfError(h.colours, bits, code); });
}

// The least error of two differential halves: every pair of 5-bit bases whose difference lies
// in [-4, 3] per component.
long leastDifferentialPair(const std::vector<long>& first, const std::vector<long>& second)
{
    const long secondLeast = *std::min_element(second.begin(), second.end());
    long best = LONG_MAX;
    for (int a = 0; a < 32 * 32 * 32; ++a) {
        if (first[static_cast<std::size_t>(a)] + secondLeast >= best) {
            continue;
        }
        const int base[3] = {a >> 10, a >> 5 & 31, a & 31};
        for (int d = 0; d < 8 * 8 * 8; ++d) {
            const int other[3] = {base[0] + (d >> 6) - 4, base[1] + (d >> 3 & 7) - 4, base[2] + (d & 7) - 4};
            if (std::any_of(other, other + 3, [](int c) { return c < 0 || c > 31; })) {
                continue;
            }
            best = std::min(best,
                            first[static_cast<std::size_t>(a)] +
                                second[static_cast<std::size_t>((other[0] << 10) | (other[1] << 5) | other[2])]);
        }
    }
    return best;
}

// The least error of any ETC1 block: both flips, individual mode and differential mode.
long leastEtc1Error(const etc::PixelBlock& block)
{
    long best = LONG_MAX;
    for (bool flip : {false, true}) {
        const std::vector<long> first4 = everyCodeOfHalf(block, flip, 0, 4);
        const std::vector<long> second4 = everyCodeOfHalf(block, flip, 1, 4);
        best = std::min(
            best, *std::min_element(first4.begin(), first4.end()) + *std::min_element(second4.begin(), second4.end()));
        best = std::min(best,
                        leastDifferentialPair(everyCodeOfHalf(block, flip, 0, 5), everyCodeOfHalf(block, flip, 1, 5)));
    }
    return best;
}

// A punchthrough half without the opaque bit: selector 2 marks a transparent texel and the small
// modifier of every table is 0; the error counts the opaque texels only.
long punchthroughHalfError(const HalfOfBlock& h, const std::array<int, 3>& code)
{
    long best = LONG_MAX;
    for (const auto& table : codectest::etc1Tables) {
        const int modifiers[3] = {0, table[1], table[3]};
        long sum = 0;
        for (std::size_t lane = 0; lane < 8; ++lane) {
            long nearest = LONG_MAX;
            for (int m : modifiers) {
                long d = 0;
                for (std::size_t c = 0; c < 3; ++c) {
                    const int decoded = std::clamp(codectest::widen(5, code[c]) + m, 0, 255);
                    d += (decoded - h.colours[lane][c]) * (decoded - h.colours[lane][c]);
                }
                nearest = std::min(nearest, d);
            }
            sum += h.counted[lane] ? nearest : 0;
        }
        best = std::min(best, sum);
    }
    return best;
}

long leastPunchthroughSubblockError(const etc::PixelBlock& block)
{
    long best = LONG_MAX;
    for (bool flip : {false, true}) {
        const HalfOfBlock first = halfOf(block, flip, 0);
        const HalfOfBlock second = halfOf(block, flip, 1);
        best = std::min(
            best,
            leastDifferentialPair(
                everyCode(5, [&](const std::array<int, 3>& code) { return punchthroughHalfError(first, code); }),
                everyCode(5, [&](const std::array<int, 3>& code) { return punchthroughHalfError(second, code); })));
    }
    return best;
}

long decodedEtc1Error(const etc::SubblockParams& params, const etc::PixelBlock& block)
{
    etc::PixelBlock decoded;
    etc::decodeEtc1Block(etc::packSubblockMode(params), decoded);
    return etc::rgbBlockError(decoded, block, nullptr);
}

class CompleteSubblockSearch : public ::testing::TestWithParam<std::array<Texel, 16>> { };

TEST_P(CompleteSubblockSearch, FindsTheLeastErrorOfAnyEtc1Block)
{
    const etc::PixelBlock block = blockOf(GetParam());
    const long least = leastEtc1Error(block);
    const etc::SubblockCandidate found = etc::encodeSubblockModes(block, {}, exhaustive().etc1Subblocks);
    EXPECT_EQ(found.error, least);
    EXPECT_EQ(decodedEtc1Error(found.params, block), least);

    // Only what lies below the bound counts.
    etc::SubblockModeOptions bounded;
    bounded.below = least;
    EXPECT_EQ(etc::encodeSubblockModes(block, bounded, exhaustive().etc1Subblocks).error, LONG_MAX);
    bounded.below = least + 1;
    EXPECT_EQ(etc::encodeSubblockModes(block, bounded, exhaustive().etc1Subblocks).error, least);

    // ETC2 blocks hold every ETC1 block, so the other modes never leave them worse.
    etc::PixelBlock decoded;
    etc::decodeEtc2Block(etc::encodeEtc2Block(block, exhaustive()), decoded);
    EXPECT_LE(etc::rgbBlockError(decoded, block, nullptr), least);
}

TEST_P(CompleteSubblockSearch, FindsTheLeastErrorOverTheOpaqueTexelsOfPunchthroughBlocks)
{
    // A transparent column and a transparent corner, whose colour (red) must not pull the bases.
    etc::PixelBlock block = blockOf(GetParam());
    for (int i : {1, 5, 9, 13, 15}) {
        block.rgba[i][0] = 255;
        block.rgba[i][1] = 0;
        block.rgba[i][2] = 0;
        block.rgba[i][3] = 0;
    }
    bool opaque[etc::texelsPerBlock];
    for (int i = 0; i < etc::texelsPerBlock; ++i) {
        opaque[i] = block.rgba[i][3] >= 128;
    }
    etc::SubblockModeOptions options;
    options.allowIndividual = false;
    options.modifiers = &etc::transparentModifiers;
    options.selectorMask = 0xB;
    options.counted = opaque;
    options.uncountedSelector = 2;
    const etc::SubblockCandidate found = etc::encodeSubblockModes(block, options, exhaustive().etc2Subblocks);
    EXPECT_EQ(found.error, leastPunchthroughSubblockError(block));
    for (int i = 0; i < etc::texelsPerBlock; ++i) {
        EXPECT_EQ(found.params.selectors[i] == 2, !opaque[i]) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(HardBlocks, CompleteSubblockSearch,
                         ::testing::Values(greyBesideYellow, normals, smoothBlue, twoTones, blackAndWhite));

} // namespace
