#include "FastTableSearch.h"

#include <algorithm>
#include <climits>

#if defined(__x86_64__)
#include <immintrin.h>
#define ETC_X86_KERNELS 1
#endif

namespace etc {

namespace {

constexpr int kEntries = 32; // 8 tables of 4 modifiers, entry table * 4 + selector

// Every table's decoded colours for one base, with |p|^2 beside.
struct EntryPalette {
    alignas(32) float r[kEntries];
    alignas(32) float g[kEntries];
    alignas(32) float b[kEntries];
    alignas(32) float squares[kEntries];
};

struct ModifierLanes {
    alignas(32) float values[kEntries];
};

ModifierLanes modifierLanes()
{
    ModifierLanes lanes;
    for (int e = 0; e < kEntries; ++e) {
        lanes.values[e] = static_cast<float>(kEtc1Modifiers[e / 4][e % 4]);
    }
    return lanes;
}

const ModifierLanes kModifierLanes = modifierLanes();

void portableErrors(const HalfColours& h, const Rgb& base, TableErrors& errors)
{
    int pr[kEntries], pg[kEntries], pb[kEntries], squares[kEntries];
    for (int e = 0; e < kEntries; ++e) {
        const int modifier = kEtc1Modifiers[e / 4][e % 4];
        pr[e] = clamp255(base.r + modifier);
        pg[e] = clamp255(base.g + modifier);
        pb[e] = clamp255(base.b + modifier);
        squares[e] = pr[e] * pr[e] + pg[e] * pg[e] + pb[e] * pb[e];
    }
    for (int table = 0; table < 8; ++table) {
        int sum = 0;
        for (int lane = 0; lane < kSubblockTexels; ++lane) {
            int nearest = INT_MAX;
            for (int e = table * 4; e < table * 4 + 4; ++e) {
                const int dot = h.r[lane] * pr[e] + h.g[lane] * pg[e] + h.b[lane] * pb[e];
                nearest = std::min(nearest, squares[e] - 2 * dot);
            }
            sum += nearest;
        }
        errors[table] = sum;
    }
}

// One table's four decoded colours around `base`.
struct TablePalette {
    int r[4], g[4], b[4];
};

TablePalette tablePalette(const Rgb& base, int table)
{
    TablePalette p;
    for (int s = 0; s < 4; ++s) {
        const int m = kEtc1Modifiers[table][s];
        p.r[s] = clamp255(base.r + m);
        p.g[s] = clamp255(base.g + m);
        p.b[s] = clamp255(base.b + m);
    }
    return p;
}

void portableSelectors(const HalfColours& h, const TablePalette& p, std::uint8_t (&selectors)[kSubblockTexels])
{
    for (int lane = 0; lane < kSubblockTexels; ++lane) {
        int nearest = INT_MAX;
        for (int s = 0; s < 4; ++s) {
            const int error = squared(h.r[lane] - p.r[s]) + squared(h.g[lane] - p.g[s]) + squared(h.b[lane] - p.b[s]);
            if (error < nearest) {
                nearest = error;
                selectors[lane] = static_cast<std::uint8_t>(s);
            }
        }
    }
}

void storeSelectors(const int (&chosen)[kSubblockTexels], std::uint8_t (&selectors)[kSubblockTexels])
{
    for (int lane = 0; lane < kSubblockTexels; ++lane) {
        selectors[lane] = static_cast<std::uint8_t>(chosen[lane]);
    }
}

#ifdef ETC_X86_KERNELS

__m128 clamped4(__m128 v) { return _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(255.0f)); }

EntryPalette sse2Palette(const Rgb& base)
{
    EntryPalette p;
    const __m128 r = _mm_set1_ps(static_cast<float>(base.r));
    const __m128 g = _mm_set1_ps(static_cast<float>(base.g));
    const __m128 b = _mm_set1_ps(static_cast<float>(base.b));
    for (int e = 0; e < kEntries; e += 4) {
        const __m128 m = _mm_load_ps(&kModifierLanes.values[e]);
        const __m128 pr = clamped4(_mm_add_ps(r, m));
        const __m128 pg = clamped4(_mm_add_ps(g, m));
        const __m128 pb = clamped4(_mm_add_ps(b, m));
        _mm_store_ps(&p.r[e], pr);
        _mm_store_ps(&p.g[e], pg);
        _mm_store_ps(&p.b[e], pb);
        _mm_store_ps(&p.squares[e], _mm_add_ps(_mm_add_ps(_mm_mul_ps(pr, pr), _mm_mul_ps(pg, pg)), _mm_mul_ps(pb, pb)));
    }
    return p;
}

__m128 doubledNegated4(const int* values)
{
    const __m128 v = _mm_cvtepi32_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(values)));
    return _mm_mul_ps(v, _mm_set1_ps(-2.0f));
}

void sse2Errors(const HalfColours& h, const Rgb& base, TableErrors& errors)
{
    const EntryPalette p = sse2Palette(base);
    const __m128 r[2] = {doubledNegated4(h.r), doubledNegated4(h.r + 4)};
    const __m128 g[2] = {doubledNegated4(h.g), doubledNegated4(h.g + 4)};
    const __m128 b[2] = {doubledNegated4(h.b), doubledNegated4(h.b + 4)};
    for (int table = 0; table < 8; ++table) {
        __m128 nearest[2] = {_mm_set1_ps(1.0e9f), _mm_set1_ps(1.0e9f)};
        for (int e = table * 4; e < table * 4 + 4; ++e) {
            const __m128 pr = _mm_set1_ps(p.r[e]);
            const __m128 pg = _mm_set1_ps(p.g[e]);
            const __m128 pb = _mm_set1_ps(p.b[e]);
            const __m128 squares = _mm_set1_ps(p.squares[e]);
            for (int v = 0; v < 2; ++v) {
                const __m128 dots = _mm_add_ps(_mm_add_ps(_mm_mul_ps(r[v], pr), _mm_mul_ps(g[v], pg)),
                                               _mm_add_ps(_mm_mul_ps(b[v], pb), squares));
                nearest[v] = _mm_min_ps(nearest[v], dots);
            }
        }
        alignas(16) float lanes[4];
        _mm_store_ps(lanes, _mm_add_ps(nearest[0], nearest[1]));
        errors[table] = static_cast<int>((lanes[0] + lanes[1]) + (lanes[2] + lanes[3]));
    }
}

__m128 selected4(__m128 mask, __m128 ifSet, __m128 otherwise)
{
    return _mm_or_ps(_mm_and_ps(mask, ifSet), _mm_andnot_ps(mask, otherwise));
}

void sse2Selectors(const HalfColours& h, const TablePalette& p, std::uint8_t (&selectors)[kSubblockTexels])
{
    alignas(16) int chosen[kSubblockTexels];
    for (int v = 0; v < 2; ++v) {
        const __m128 r = doubledNegated4(h.r + 4 * v);
        const __m128 g = doubledNegated4(h.g + 4 * v);
        const __m128 b = doubledNegated4(h.b + 4 * v);
        __m128 nearest = _mm_set1_ps(1.0e9f);
        __m128 index = _mm_setzero_ps();
        for (int s = 0; s < 4; ++s) {
            const float square = static_cast<float>(p.r[s] * p.r[s] + p.g[s] * p.g[s] + p.b[s] * p.b[s]);
            const __m128 dots =
                _mm_add_ps(_mm_add_ps(_mm_mul_ps(r, _mm_set1_ps(static_cast<float>(p.r[s]))),
                                      _mm_mul_ps(g, _mm_set1_ps(static_cast<float>(p.g[s])))),
                           _mm_add_ps(_mm_mul_ps(b, _mm_set1_ps(static_cast<float>(p.b[s]))), _mm_set1_ps(square)));
            const __m128 nearer = _mm_cmplt_ps(dots, nearest);
            nearest = selected4(nearer, dots, nearest);
            index = selected4(nearer, _mm_set1_ps(static_cast<float>(s)), index);
        }
        _mm_store_si128(reinterpret_cast<__m128i*>(chosen + 4 * v), _mm_cvtps_epi32(index));
    }
    storeSelectors(chosen, selectors);
}

#define ETC_AVX2 __attribute__((target("avx2,fma")))

ETC_AVX2 __m256 clamped8(__m256 v)
{
    return _mm256_min_ps(_mm256_max_ps(v, _mm256_setzero_ps()), _mm256_set1_ps(255.0f));
}

ETC_AVX2 EntryPalette avx2Palette(const Rgb& base)
{
    EntryPalette p;
    const __m256 r = _mm256_set1_ps(static_cast<float>(base.r));
    const __m256 g = _mm256_set1_ps(static_cast<float>(base.g));
    const __m256 b = _mm256_set1_ps(static_cast<float>(base.b));
    for (int e = 0; e < kEntries; e += 8) {
        const __m256 m = _mm256_load_ps(&kModifierLanes.values[e]);
        const __m256 pr = clamped8(_mm256_add_ps(r, m));
        const __m256 pg = clamped8(_mm256_add_ps(g, m));
        const __m256 pb = clamped8(_mm256_add_ps(b, m));
        _mm256_store_ps(&p.r[e], pr);
        _mm256_store_ps(&p.g[e], pg);
        _mm256_store_ps(&p.b[e], pb);
        _mm256_store_ps(&p.squares[e], _mm256_fmadd_ps(pb, pb, _mm256_fmadd_ps(pg, pg, _mm256_mul_ps(pr, pr))));
    }
    return p;
}

ETC_AVX2 __m256 doubledNegated8(const int* values)
{
    const __m256 v = _mm256_cvtepi32_ps(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(values)));
    return _mm256_mul_ps(v, _mm256_set1_ps(-2.0f));
}

// One table's nearest-entry error per lane, all eight lanes of the half at once.
ETC_AVX2 __m256 nearestOfTable(const __m256 (&c)[3], const EntryPalette& p, int table)
{
    __m256 nearest = _mm256_set1_ps(1.0e9f);
    for (int e = table * 4; e < table * 4 + 4; ++e) {
        __m256 dots = _mm256_fmadd_ps(c[0], _mm256_broadcast_ss(&p.r[e]), _mm256_broadcast_ss(&p.squares[e]));
        dots = _mm256_fmadd_ps(c[1], _mm256_broadcast_ss(&p.g[e]), dots);
        dots = _mm256_fmadd_ps(c[2], _mm256_broadcast_ss(&p.b[e]), dots);
        nearest = _mm256_min_ps(nearest, dots);
    }
    return nearest;
}

ETC_AVX2 void avx2Errors(const HalfColours& h, const Rgb& base, TableErrors& errors)
{
    const EntryPalette p = avx2Palette(base);
    const __m256 c[3] = {doubledNegated8(h.r), doubledNegated8(h.g), doubledNegated8(h.b)};
    __m256 t[8];
    for (int table = 0; table < 8; ++table) {
        t[table] = nearestOfTable(c, p, table);
    }
    // Pairwise sums leave tables 0-3 and 4-7 in the two 128-bit halves, each half of the lanes summed.
    const __m256 low = _mm256_hadd_ps(_mm256_hadd_ps(t[0], t[1]), _mm256_hadd_ps(t[2], t[3]));
    const __m256 high = _mm256_hadd_ps(_mm256_hadd_ps(t[4], t[5]), _mm256_hadd_ps(t[6], t[7]));
    const __m256 sums = _mm256_add_ps(_mm256_permute2f128_ps(low, high, 0x20), _mm256_permute2f128_ps(low, high, 0x31));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(errors), _mm256_cvtps_epi32(sums));
}

ETC_AVX2 void avx2Selectors(const HalfColours& h, const TablePalette& p, std::uint8_t (&selectors)[kSubblockTexels])
{
    const __m256 c[3] = {doubledNegated8(h.r), doubledNegated8(h.g), doubledNegated8(h.b)};
    __m256 nearest = _mm256_set1_ps(1.0e9f);
    __m256 index = _mm256_setzero_ps();
    for (int s = 0; s < 4; ++s) {
        const float square = static_cast<float>(p.r[s] * p.r[s] + p.g[s] * p.g[s] + p.b[s] * p.b[s]);
        __m256 dots = _mm256_fmadd_ps(c[0], _mm256_set1_ps(static_cast<float>(p.r[s])), _mm256_set1_ps(square));
        dots = _mm256_fmadd_ps(c[1], _mm256_set1_ps(static_cast<float>(p.g[s])), dots);
        dots = _mm256_fmadd_ps(c[2], _mm256_set1_ps(static_cast<float>(p.b[s])), dots);
        const __m256 nearer = _mm256_cmp_ps(dots, nearest, _CMP_LT_OQ);
        nearest = _mm256_blendv_ps(nearest, dots, nearer);
        index = _mm256_blendv_ps(index, _mm256_set1_ps(static_cast<float>(s)), nearer);
    }
    alignas(32) int chosen[kSubblockTexels];
    _mm256_store_si256(reinterpret_cast<__m256i*>(chosen), _mm256_cvtps_epi32(index));
    storeSelectors(chosen, selectors);
}

bool cpuHasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

#endif

} // namespace

HalfColours halfColours(const PixelBlock& block, bool flip, int half)
{
    HalfColours h;
    h.squares = 0;
    const int* texels = subblockTexels(flip, half);
    for (int lane = 0; lane < kSubblockTexels; ++lane) {
        const std::uint8_t* t = block.rgba[texels[lane]];
        h.r[lane] = t[0];
        h.g[lane] = t[1];
        h.b[lane] = t[2];
        h.squares += t[0] * t[0] + t[1] * t[1] + t[2] * t[2];
    }
    return h;
}

void halfTableErrors(TableKernel kernel, const HalfColours& half, const Rgb& base, TableErrors& errors)
{
    switch (kernel) {
#ifdef ETC_X86_KERNELS
    case TableKernel::Sse2:
        sse2Errors(half, base, errors);
        break;
    case TableKernel::Avx2:
        avx2Errors(half, base, errors);
        break;
#endif
    default:
        portableErrors(half, base, errors);
        break;
    }
    for (int& error : errors) {
        error += half.squares;
    }
}

void halfSelectors(TableKernel kernel, const HalfColours& half, const Rgb& base, int table,
                   std::uint8_t (&selectors)[kSubblockTexels])
{
    const TablePalette palette = tablePalette(base, table);
    switch (kernel) {
#ifdef ETC_X86_KERNELS
    case TableKernel::Sse2:
        sse2Selectors(half, palette, selectors);
        break;
    case TableKernel::Avx2:
        avx2Selectors(half, palette, selectors);
        break;
#endif
    default:
        portableSelectors(half, palette, selectors);
        break;
    }
}

const std::vector<TableKernel>& availableTableKernels()
{
    static const std::vector<TableKernel> kernels = [] {
        std::vector<TableKernel> found{TableKernel::Portable};
#ifdef ETC_X86_KERNELS
        found.push_back(TableKernel::Sse2);
        if (cpuHasAvx2()) {
            found.push_back(TableKernel::Avx2);
        }
#endif
        return found;
    }();
    return kernels;
}

TableKernel fastestTableKernel() { return availableTableKernels().back(); }

const char* tableKernelName(TableKernel kernel)
{
    switch (kernel) {
    case TableKernel::Portable:
        break;
    case TableKernel::Sse2:
        return "sse2";
    case TableKernel::Avx2:
        return "avx2";
    }
    return "portable";
}

} // namespace etc
