// The windows of the three ETC1 alpha programs, read from the X server and compared with
// what their texture files decode to on the CPU.

#include "AlphaPlaneFixture.h"
#include "AlphaPlaneReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

using Pixels = std::vector<std::uint8_t>;

// Blending rounds once per channel, and the GL's generated alpha levels round their
// averages: two steps cover both.
constexpr double pixelTolerance = 2.0;

double channelDifference(const Pixels& rgba, int px, int py, const std::array<double, 3>& expected)
{
    double largest = 0;
    for (int channel = 0; channel < 3; ++channel)
        largest = std::max(
            largest, std::abs(rgba[4 * (static_cast<size_t>(py) * windowWidth + px) + channel] - expected[channel]));
    return largest;
}

struct Comparison {
    int compared = 0;
    int outside = 0; // beyond the tolerance
    double largest = 0;
};

// Compares the quad's pixels, `inset` pixels in from its edges, with the reference.
Comparison compareQuad(const Pixels& rgba, const ProgramPicture& picture, int quad, int inset, double tolerance)
{
    const PixelRectangle& r = quadRectangles[static_cast<size_t>(quad)];
    Comparison result;
    for (int py = r.y + inset; py < r.y + r.height - inset; ++py)
        for (int px = r.x + inset; px < r.x + r.width - inset; ++px) {
            const double difference = channelDifference(rgba, px, py, expectedPixel(picture, quad, px, py));
            ++result.compared;
            result.outside += difference > tolerance;
            result.largest = std::max(result.largest, difference);
        }
    return result;
}

// RawAlphaPlane's smaller alpha levels are made by the GL, each from the one before as it
// stored it: half a step of its rounding may pass on per level made.
double quadTolerance(const AlphaPlaneProgram& program, int quad)
{
    return program.name == rawAlphaPlane().name ? pixelTolerance + 0.5 * quad : pixelTolerance;
}

double largestWindowDifference(const Pixels& a, const Pixels& b, int quad)
{
    const PixelRectangle& r = quadRectangles[static_cast<size_t>(quad)];
    double largest = 0;
    for (int py = r.y; py < r.y + r.height; ++py)
        for (int px = r.x; px < r.x + r.width; ++px)
            for (int channel = 0; channel < 3; ++channel) {
                const size_t at = 4 * (static_cast<size_t>(py) * windowWidth + px) + channel;
                largest = std::max(largest, std::abs(a[at] - b[at] + 0.0));
            }
    return largest;
}

bool insideAQuad(int px, int py)
{
    return std::any_of(quadRectangles.begin(), quadRectangles.end(),
                       [&](const PixelRectangle& r) { return r.contains(px, py); });
}

// The first frame of the program's window; the program is then closed.
Pixels windowOf(const AlphaPlaneProgram& program)
{
    RunningProgram running(program);
    EXPECT_TRUE(running.serverStarted());
    const Window window = running.waitForFirstFrame();
    EXPECT_NE(window, 0u) << running.process().standardError();
    if (window == 0)
        return {};
    Pixels rgba = running.windowPixels(window);
    running.client().requestClose(window);
    EXPECT_EQ(running.process().waitForExit(20), 0);
    return rgba;
}

class AlphaPlanePixelsTest : public testing::TestWithParam<const AlphaPlaneProgram*> { };

} // namespace

TEST_P(AlphaPlanePixelsTest, QuadsStandAtTheirRectanglesAndShowTheirLevelsOverTheClearColour)
{
    const AlphaPlaneProgram& program = *GetParam();
    const Pixels rgba = windowOf(program);
    ASSERT_FALSE(rgba.empty());
    const ProgramPicture picture = pictureOf(program);

    int notClear = 0;
    const std::array<double, 3> clear = {double(clearColour[0]), double(clearColour[1]), double(clearColour[2])};
    for (int py = 0; py < windowHeight; ++py)
        for (int px = 0; px < windowWidth; ++px)
            if (!insideAQuad(px, py))
                notClear += channelDifference(rgba, px, py, clear) > 1;
    EXPECT_EQ(notClear, 0) << "pixels outside the quads that are not the clear colour";

    // Quad 0 away from its border: every pixel is its texel of level 1 (256 x 128).
    const Comparison big = compareQuad(rgba, picture, 0, 1, pixelTolerance);
    EXPECT_EQ(big.compared, 254 * 126);
    EXPECT_EQ(big.outside, 0) << "largest difference " << big.largest;

    // Every quad, borders included, shows the level of its own size.
    for (int quad = 0; quad < 9; ++quad) {
        const double tolerance = quadTolerance(program, quad);
        const Comparison whole = compareQuad(rgba, picture, quad, 0, tolerance);
        EXPECT_EQ(whole.outside, 0) << "quad " << quad << ": " << whole.outside << " of " << whole.compared
                                    << " pixels beyond " << tolerance << ", largest difference " << whole.largest;
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, AlphaPlanePixelsTest,
                         testing::Values(&packedAlphaPlane(), &rawAlphaPlane(), &stackedAlpha()), programTestName);

// The programs share the colour chain (the atlas's top halves encode to the same blocks as
// long as a half is whole blocks high) and differ in the alpha: exact in RawAlphaPlane,
// ETC1-compressed in the others. A blended pixel bg + alpha * (colour - bg) moves by at most
// |colour difference| + |alpha difference| steps, so each quad may differ by the largest
// such texel difference of its level, plus a rounding step in each picture (and the GL's
// rounding of the generated alpha levels where RawAlphaPlane is one of the two).
TEST(AlphaPlanePicturesTest, TheThreeProgramsShowTheSamePictureWithinTheAlphaPlanesCompressionError)
{
    const std::array<const AlphaPlaneProgram*, 3> programs = {&packedAlphaPlane(), &rawAlphaPlane(), &stackedAlpha()};
    std::array<Pixels, 3> windows;
    std::array<ProgramPicture, 3> pictures;
    for (size_t i = 0; i < programs.size(); ++i) {
        windows[i] = windowOf(*programs[i]);
        ASSERT_FALSE(windows[i].empty()) << programs[i]->name;
        pictures[i] = pictureOf(*programs[i]);
    }
    for (size_t a = 0; a < programs.size(); ++a)
        for (size_t b = a + 1; b < programs.size(); ++b) {
            const std::string pair = programs[a]->name + " vs " + programs[b]->name;
            std::string figures;
            for (int quad = 0; quad < 9; ++quad) {
                const double largest = largestWindowDifference(windows[a], windows[b], quad);
                const double bound =
                    largestTexelDifference(pictures[a].levels[quad + 1], pictures[b].levels[quad + 1]) +
                    quadTolerance(*programs[a], quad) + quadTolerance(*programs[b], quad) - pixelTolerance;
                EXPECT_LE(largest, bound) << pair << ", quad " << quad;
                char line[96];
                snprintf(line, sizeof(line), " quad %d: %.0f (bound %.2f);", quad, largest, bound);
                figures += line;
            }
            printf("%s, largest channel difference per quad:%s\n", pair.c_str(), figures.c_str());
        }
}

TEST(StackedAlphaPixelsTest, ShaderWithoutTheSamplerUniformReadsTheAtlasOnUnitZero)
{
    ProgramCopy copy(stackedAlpha());
    copy.writeAsset(stackedAlpha().fragmentShader,
                    "precision mediump float;\n"
                    "uniform sampler2D u_s2dAtlas;\n"
                    "varying vec2 v_v2TexCoord;\n"
                    "void main() {\n"
                    "  vec2 c = vec2(v_v2TexCoord.s, v_v2TexCoord.t * 0.5);\n"
                    "  gl_FragColor = vec4(texture2D(u_s2dAtlas, c).rgb, 1.0);\n"
                    "}\n");
    RunningProgram running(stackedAlpha(), copy.folder());
    ASSERT_TRUE(running.serverStarted());
    const Window window = running.waitForFirstFrame();
    ASSERT_NE(window, 0u) << running.process().standardError();
    const Pixels rgba = running.windowPixels(window);
    ASSERT_FALSE(rgba.empty());

    ProgramPicture opaque = stackedAlphaPicture();
    for (Level& level : opaque.levels)
        std::fill(level.alpha.begin(), level.alpha.end(), 255.0);
    const Comparison big = compareQuad(rgba, opaque, 0, 1, pixelTolerance);
    EXPECT_EQ(big.outside, 0) << "largest difference " << big.largest;

    running.client().requestClose(window);
    EXPECT_EQ(running.process().waitForExit(20), 0);
}
