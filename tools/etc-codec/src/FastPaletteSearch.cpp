#include "FastPaletteSearch.h"

#include "ThBlock.h"

#include <algorithm>
#include <climits>

#if defined(__x86_64__)
#include <immintrin.h>
#define ETC_X86_KERNELS 1
#define ETC_AVX2 __attribute__((target("avx2,fma")))
#endif

namespace etc {

namespace {

constexpr int entryCount = candidateCount * 4;

void setEntry(CandidatePalettes& p, int e, int r, int g, int b)
{
    p.r[e] = static_cast<float>(r);
    p.g[e] = static_cast<float>(g);
    p.b[e] = static_cast<float>(b);
    p.squares[e] = static_cast<float>(r * r + g * g + b * b);
}

CandidatePalettes portableOffsetPalettes(const Rgb (&bases)[4], const PaletteOffsets& offsets)
{
    CandidatePalettes p;
    for (int e = 0; e < entryCount; ++e) {
        const Rgb& base = bases[e % 4];
        const int offset = static_cast<int>(offsets.values[e]);
        setEntry(p, e, clamp255(base.r + offset), clamp255(base.g + offset), clamp255(base.b + offset));
    }
    return p;
}

template <int N>
void portableErrors(const TexelColours<N>& t, const CandidatePalettes& p, CandidateErrors& errors)
{
    for (int candidate = 0; candidate < candidateCount; ++candidate) {
        int sum = 0;
        for (int lane = 0; lane < N; ++lane) {
            int nearest = INT_MAX;
            for (int e = candidate * 4; e < candidate * 4 + 4; ++e) {
                const int dot = t.r[lane] * static_cast<int>(p.r[e]) + t.g[lane] * static_cast<int>(p.g[e]) +
                    t.b[lane] * static_cast<int>(p.b[e]);
                nearest = std::min(nearest, static_cast<int>(p.squares[e]) - 2 * dot);
            }
            sum += nearest;
        }
        errors[candidate] = sum;
    }
}

template <int N>
void portableNearest(const TexelColours<N>& t, const Rgb (&palette)[4], std::uint8_t (&chosen)[N])
{
    for (int lane = 0; lane < N; ++lane) {
        int nearest = INT_MAX;
        for (int s = 0; s < 4; ++s) {
            const Rgb& p = palette[s];
            const int error = squared(t.r[lane] - p.r) + squared(t.g[lane] - p.g) + squared(t.b[lane] - p.b);
            if (error < nearest) {
                nearest = error;
                chosen[lane] = static_cast<std::uint8_t>(s);
            }
        }
    }
}

#ifdef ETC_X86_KERNELS

float squareOf(const Rgb& c) { return static_cast<float>(c.r * c.r + c.g * c.g + c.b * c.b); }

template <int N>
void storeChosen(const int (&indices)[N], std::uint8_t (&chosen)[N])
{
    for (int lane = 0; lane < N; ++lane) {
        chosen[lane] = static_cast<std::uint8_t>(indices[lane]);
    }
}

// One channel of the four entries' base colours, built in registers: a wide load just after
// narrow stores would stall.
__m128 baseChannel4(const Rgb (&bases)[4], int Rgb::*channel)
{
    return _mm_cvtepi32_ps(_mm_setr_epi32(bases[0].*channel, bases[1].*channel, bases[2].*channel, bases[3].*channel));
}

__m128 clamped4(__m128 v) { return _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(255.0f)); }

CandidatePalettes sse2OffsetPalettes(const Rgb (&bases)[4], const PaletteOffsets& offsets)
{
    CandidatePalettes p;
    const __m128 r = baseChannel4(bases, &Rgb::r);
    const __m128 g = baseChannel4(bases, &Rgb::g);
    const __m128 b = baseChannel4(bases, &Rgb::b);
    for (int e = 0; e < entryCount; e += 4) {
        const __m128 m = _mm_load_ps(&offsets.values[e]);
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

// Four lanes of -2 c, the form the dot products take.
__m128 doubledNegated4(const int* values)
{
    const __m128 v = _mm_cvtepi32_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(values)));
    return _mm_mul_ps(v, _mm_set1_ps(-2.0f));
}

__m128 dots4(__m128 r, __m128 g, __m128 b, float pr, float pg, float pb, float square)
{
    return _mm_add_ps(_mm_add_ps(_mm_mul_ps(r, _mm_set1_ps(pr)), _mm_mul_ps(g, _mm_set1_ps(pg))),
                      _mm_add_ps(_mm_mul_ps(b, _mm_set1_ps(pb)), _mm_set1_ps(square)));
}

template <int N>
void sse2Errors(const TexelColours<N>& t, const CandidatePalettes& p, CandidateErrors& errors)
{
    constexpr int vectorCount = N / 4;
    __m128 r[vectorCount], g[vectorCount], b[vectorCount];
    for (int v = 0; v < vectorCount; ++v) {
        r[v] = doubledNegated4(t.r + 4 * v);
        g[v] = doubledNegated4(t.g + 4 * v);
        b[v] = doubledNegated4(t.b + 4 * v);
    }
    for (int candidate = 0; candidate < candidateCount; ++candidate) {
        __m128 sum = _mm_setzero_ps();
        for (int v = 0; v < vectorCount; ++v) {
            __m128 nearest = _mm_set1_ps(1.0e9f);
            for (int e = candidate * 4; e < candidate * 4 + 4; ++e) {
                nearest = _mm_min_ps(nearest, dots4(r[v], g[v], b[v], p.r[e], p.g[e], p.b[e], p.squares[e]));
            }
            sum = _mm_add_ps(sum, nearest);
        }
        alignas(16) float lanes[4];
        _mm_store_ps(lanes, sum);
        errors[candidate] = static_cast<int>((lanes[0] + lanes[1]) + (lanes[2] + lanes[3]));
    }
}

__m128 selected4(__m128 mask, __m128 ifSet, __m128 otherwise)
{
    return _mm_or_ps(_mm_and_ps(mask, ifSet), _mm_andnot_ps(mask, otherwise));
}

template <int N>
void sse2Nearest(const TexelColours<N>& t, const Rgb (&palette)[4], std::uint8_t (&chosen)[N])
{
    alignas(16) int indices[N];
    for (int v = 0; v < N / 4; ++v) {
        const __m128 r = doubledNegated4(t.r + 4 * v);
        const __m128 g = doubledNegated4(t.g + 4 * v);
        const __m128 b = doubledNegated4(t.b + 4 * v);
        __m128 nearest = _mm_set1_ps(1.0e9f);
        __m128 index = _mm_setzero_ps();
        for (int s = 0; s < 4; ++s) {
            const Rgb& p = palette[s];
            const __m128 dots =
                dots4(r, g, b, static_cast<float>(p.r), static_cast<float>(p.g), static_cast<float>(p.b), squareOf(p));
            const __m128 nearer = _mm_cmplt_ps(dots, nearest);
            nearest = selected4(nearer, dots, nearest);
            index = selected4(nearer, _mm_set1_ps(static_cast<float>(s)), index);
        }
        _mm_store_si128(reinterpret_cast<__m128i*>(indices + 4 * v), _mm_cvtps_epi32(index));
    }
    storeChosen(indices, chosen);
}

ETC_AVX2 __m256 clamped8(__m256 v)
{
    return _mm256_min_ps(_mm256_max_ps(v, _mm256_setzero_ps()), _mm256_set1_ps(255.0f));
}

ETC_AVX2 __m256 baseChannel8(const Rgb (&bases)[4], int Rgb::*channel)
{
    const __m128 four = baseChannel4(bases, channel);
    return _mm256_insertf128_ps(_mm256_castps128_ps256(four), four, 1);
}

ETC_AVX2 CandidatePalettes avx2OffsetPalettes(const Rgb (&bases)[4], const PaletteOffsets& offsets)
{
    CandidatePalettes p;
    const __m256 r = baseChannel8(bases, &Rgb::r);
    const __m256 g = baseChannel8(bases, &Rgb::g);
    const __m256 b = baseChannel8(bases, &Rgb::b);
    for (int e = 0; e < entryCount; e += 8) {
        const __m256 m = _mm256_load_ps(&offsets.values[e]);
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

ETC_AVX2 __m256 dots8(const __m256 (&c)[3], const float* pr, const float* pg, const float* pb, const float* square)
{
    __m256 dots = _mm256_fmadd_ps(c[0], _mm256_broadcast_ss(pr), _mm256_broadcast_ss(square));
    dots = _mm256_fmadd_ps(c[1], _mm256_broadcast_ss(pg), dots);
    return _mm256_fmadd_ps(c[2], _mm256_broadcast_ss(pb), dots);
}

// Each lane's error at its nearest colour of one candidate, summed over the vectors.
template <int V>
ETC_AVX2 __m256 nearestOfCandidate(const __m256 (&c)[V][3], const CandidatePalettes& p, int candidate)
{
    __m256 nearest[V];
    for (__m256& n : nearest) {
        n = _mm256_set1_ps(1.0e9f);
    }
    for (int e = candidate * 4; e < candidate * 4 + 4; ++e) {
        const __m256 pr = _mm256_broadcast_ss(&p.r[e]);
        const __m256 pg = _mm256_broadcast_ss(&p.g[e]);
        const __m256 pb = _mm256_broadcast_ss(&p.b[e]);
        const __m256 square = _mm256_broadcast_ss(&p.squares[e]);
        for (int v = 0; v < V; ++v) {
            const __m256 dots =
                _mm256_fmadd_ps(c[v][2], pb, _mm256_fmadd_ps(c[v][1], pg, _mm256_fmadd_ps(c[v][0], pr, square)));
            nearest[v] = _mm256_min_ps(nearest[v], dots);
        }
    }
    __m256 sum = nearest[0];
    for (int v = 1; v < V; ++v) {
        sum = _mm256_add_ps(sum, nearest[v]);
    }
    return sum;
}

template <int N>
ETC_AVX2 void avx2Errors(const TexelColours<N>& t, const CandidatePalettes& p, CandidateErrors& errors)
{
    constexpr int vectorCount = N / 8;
    __m256 c[vectorCount][3];
    for (int v = 0; v < vectorCount; ++v) {
        c[v][0] = doubledNegated8(t.r + 8 * v);
        c[v][1] = doubledNegated8(t.g + 8 * v);
        c[v][2] = doubledNegated8(t.b + 8 * v);
    }
    __m256 s[candidateCount];
    for (int candidate = 0; candidate < candidateCount; ++candidate) {
        s[candidate] = nearestOfCandidate(c, p, candidate);
    }
    // Pairwise sums leave candidates 0-3 and 4-7 in the two 128-bit halves, each over half the lanes.
    const __m256 low = _mm256_hadd_ps(_mm256_hadd_ps(s[0], s[1]), _mm256_hadd_ps(s[2], s[3]));
    const __m256 high = _mm256_hadd_ps(_mm256_hadd_ps(s[4], s[5]), _mm256_hadd_ps(s[6], s[7]));
    const __m256 sums = _mm256_add_ps(_mm256_permute2f128_ps(low, high, 0x20), _mm256_permute2f128_ps(low, high, 0x31));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(errors), _mm256_cvtps_epi32(sums));
}

template <int N>
ETC_AVX2 void avx2Nearest(const TexelColours<N>& t, const Rgb (&palette)[4], std::uint8_t (&chosen)[N])
{
    float pr[4], pg[4], pb[4], squares[4];
    for (int s = 0; s < 4; ++s) {
        pr[s] = static_cast<float>(palette[s].r);
        pg[s] = static_cast<float>(palette[s].g);
        pb[s] = static_cast<float>(palette[s].b);
        squares[s] = squareOf(palette[s]);
    }
    alignas(32) int indices[N];
    for (int v = 0; v < N / 8; ++v) {
        const __m256 c[3] = {doubledNegated8(t.r + 8 * v), doubledNegated8(t.g + 8 * v), doubledNegated8(t.b + 8 * v)};
        __m256 nearest = _mm256_set1_ps(1.0e9f);
        __m256 index = _mm256_setzero_ps();
        for (int s = 0; s < 4; ++s) {
            const __m256 dots = dots8(c, &pr[s], &pg[s], &pb[s], &squares[s]);
            const __m256 nearer = _mm256_cmp_ps(dots, nearest, _CMP_LT_OQ);
            nearest = _mm256_blendv_ps(nearest, dots, nearer);
            index = _mm256_blendv_ps(index, _mm256_set1_ps(static_cast<float>(s)), nearer);
        }
        _mm256_store_si256(reinterpret_cast<__m256i*>(indices + 8 * v), _mm256_cvtps_epi32(index));
    }
    storeChosen(indices, chosen);
}

bool cpuHasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

#endif

template <int N>
TexelColours<N> gatherColours(const PixelBlock& block, const int* indices)
{
    TexelColours<N> t;
    t.squares = 0;
    for (int lane = 0; lane < N; ++lane) {
        const std::uint8_t* c = block.rgba[indices[lane]];
        t.r[lane] = c[0];
        t.g[lane] = c[1];
        t.b[lane] = c[2];
        t.squares += c[0] * c[0] + c[1] * c[1] + c[2] * c[2];
    }
    return t;
}

// Builds offsets from each candidate's number (table or distance index) and entry.
template <typename OffsetOf>
PaletteOffsets paletteOffsets(OffsetOf offsetOf)
{
    PaletteOffsets offsets;
    for (int e = 0; e < entryCount; ++e) {
        offsets.values[e] = static_cast<float>(offsetOf(e / 4, e % 4));
    }
    return offsets;
}

const int rasterOrder[texelsPerBlock] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

template <int N>
void errorsOf(PaletteKernel kernel, const TexelColours<N>& t, const CandidatePalettes& p, CandidateErrors& errors)
{
    switch (kernel) {
#ifdef ETC_X86_KERNELS
    case PaletteKernel::Sse2:
        sse2Errors(t, p, errors);
        break;
    case PaletteKernel::Avx2:
        avx2Errors(t, p, errors);
        break;
#endif
    default:
        portableErrors(t, p, errors);
        break;
    }
    for (int& error : errors) {
        error += t.squares;
    }
}

template <int N>
void nearestOf(PaletteKernel kernel, const TexelColours<N>& t, const Rgb (&palette)[4], std::uint8_t (&chosen)[N])
{
    switch (kernel) {
#ifdef ETC_X86_KERNELS
    case PaletteKernel::Sse2:
        sse2Nearest(t, palette, chosen);
        break;
    case PaletteKernel::Avx2:
        avx2Nearest(t, palette, chosen);
        break;
#endif
    default:
        portableNearest(t, palette, chosen);
        break;
    }
}

} // namespace

const PaletteOffsets modifierOffsets = paletteOffsets([](int table, int s) { return etc1Modifiers[table][s]; });
const PaletteOffsets tOffsets = paletteOffsets([](int distance, int s) {
    const int signs[4] = {0, 1, 0, -1};
    return signs[s] * thDistances[distance];
});
const PaletteOffsets hOffsets = paletteOffsets([](int distance, int s) {
    const int signs[4] = {1, -1, 1, -1};
    return signs[s] * thDistances[distance];
});

const std::vector<PaletteKernel>& availablePaletteKernels()
{
    static const std::vector<PaletteKernel> kernels = [] {
        std::vector<PaletteKernel> found{PaletteKernel::Portable};
#ifdef ETC_X86_KERNELS
        found.push_back(PaletteKernel::Sse2);
        if (cpuHasAvx2()) {
            found.push_back(PaletteKernel::Avx2);
        }
#endif
        return found;
    }();
    return kernels;
}

PaletteKernel fastestPaletteKernel() { return availablePaletteKernels().back(); }

const char* paletteKernelName(PaletteKernel kernel)
{
    switch (kernel) {
    case PaletteKernel::Portable:
        break;
    case PaletteKernel::Sse2:
        return "sse2";
    case PaletteKernel::Avx2:
        return "avx2";
    }
    return "portable";
}

void blockHalves(const PixelBlock& block, HalfColours (&halves)[2][2])
{
    int r[texelsPerBlock], g[texelsPerBlock], b[texelsPerBlock], squares[texelsPerBlock];
    for (int i = 0; i < texelsPerBlock; ++i) {
        r[i] = block.rgba[i][0];
        g[i] = block.rgba[i][1];
        b[i] = block.rgba[i][2];
        squares[i] = r[i] * r[i] + g[i] * g[i] + b[i] * b[i];
    }
    // Indices worked out rather than looked up, so that the compiler unrolls the copies:
    // lane l of row half h is texel 8h + l, of column half h texel 4 (l / 2) + 2h + l % 2.
    for (int h = 0; h < 2; ++h) {
        HalfColours& column = halves[0][h];
        HalfColours& row = halves[1][h];
        column.squares = 0;
        row.squares = 0;
        for (int lane = 0; lane < texelsPerSubblock; ++lane) {
            const int c = 4 * (lane >> 1) + 2 * h + (lane & 1);
            const int w = 8 * h + lane;
            column.r[lane] = r[c];
            column.g[lane] = g[c];
            column.b[lane] = b[c];
            column.squares += squares[c];
            row.r[lane] = r[w];
            row.g[lane] = g[w];
            row.b[lane] = b[w];
            row.squares += squares[w];
        }
    }
}

BlockColours blockColours(const PixelBlock& block) { return gatherColours<texelsPerBlock>(block, rasterOrder); }

CandidatePalettes offsetPalettes(PaletteKernel kernel, const Rgb (&bases)[4], const PaletteOffsets& offsets)
{
    switch (kernel) {
#ifdef ETC_X86_KERNELS
    case PaletteKernel::Sse2:
        return sse2OffsetPalettes(bases, offsets);
    case PaletteKernel::Avx2:
        return avx2OffsetPalettes(bases, offsets);
#endif
    default:
        return portableOffsetPalettes(bases, offsets);
    }
}

void paletteErrors(PaletteKernel kernel, const HalfColours& texels, const CandidatePalettes& palettes,
                   CandidateErrors& errors)
{
    errorsOf(kernel, texels, palettes, errors);
}

void paletteErrors(PaletteKernel kernel, const BlockColours& texels, const CandidatePalettes& palettes,
                   CandidateErrors& errors)
{
    errorsOf(kernel, texels, palettes, errors);
}

void nearestColours(PaletteKernel kernel, const HalfColours& texels, const Rgb (&palette)[4],
                    std::uint8_t (&chosen)[texelsPerSubblock])
{
    nearestOf(kernel, texels, palette, chosen);
}

void nearestColours(PaletteKernel kernel, const BlockColours& texels, const Rgb (&palette)[4],
                    std::uint8_t (&chosen)[texelsPerBlock])
{
    nearestOf(kernel, texels, palette, chosen);
}

} // namespace etc
