#include "PatchTorusFixture.h"
#include "PatchTorusReference.h"
#include "PatchTorusSample.h"
#include "X11Client.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const solidWithoutAttribute = R"(#version 300 es
layout(std140) uniform ControlPointsIndices { uvec4 patchRows[64]; };
layout(std140) uniform ControlPointsVertices { vec4 controlPoints[144]; };
void main() { gl_Position = controlPoints[patchRows[gl_InstanceID].x]; }
)";

const char* const wireframeWithoutAttribute = R"(#version 300 es
void main() { gl_Position = vec4(0.0, 0.0, 0.0, 1.0); }
)";

// Frame 75 of the program's turn.
const float knownRotation[3] = {37.5f, 37.5f, 37.5f};

const std::uint8_t* pixelAt(const std::vector<std::uint8_t>& rgba, int x, int y, int width)
{
    return &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
}

// The lit green of the solid torus: green only, at least the ambient share of 0.7.
bool isSolidColour(const std::uint8_t* pixel) { return pixel[0] <= 2 && pixel[2] <= 2 && pixel[1] >= 20; }

// The wireframe's unlit orange (1.0, 0.3, 0.0).
bool isWireframeColour(const std::uint8_t* pixel)
{
    return pixel[0] >= 250 && pixel[1] >= 70 && pixel[1] <= 84 && pixel[2] <= 2;
}

// Keeps what a test saw for a reader of its results; rows go top-down in the file.
void saveArtifact(const std::string& name, const std::vector<std::uint8_t>& bottomUp, int width, int height)
{
    const std::string folder = std::string(KORVO_BUILD_ROOT) + "/test-artifacts";
    std::filesystem::create_directories(folder);
    std::vector<std::uint8_t> topDown(bottomUp.size());
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
        std::copy_n(&bottomUp[(height - 1 - y) * row], row, &topDown[y * row]);
    // The clear colour's alpha is 0; the picture is meant opaque.
    for (std::size_t alpha = 3; alpha < topDown.size(); alpha += 4)
        topDown[alpha] = 255;
    savePng(folder + "/" + name, topDown, width, height);
}

void drawOnly(Torus* model, const float rotation[3])
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    model->draw(rotation);
}

} // namespace

using PatchTorusRendering = PatchTorusGl;

TEST_F(PatchTorusRendering, SolidTorusIsSixteenInstancesOfTheGridAndTheCageIsLines)
{
    ASSERT_TRUE(PatchTorus::setUpSample());
    EXPECT_EQ(primitivesGenerated([] { PatchTorus::solidTorus->draw(knownRotation); }), 16u * 450u);
    EXPECT_EQ(primitivesGenerated([] { PatchTorus::wireframeTorus->draw(knownRotation); }), 288u);
}

// A model whose program lacks its vertex attribute has no vertex data (the solid one no
// element buffer either): drawing it must draw nothing instead of reading client memory.
TEST_F(PatchTorusRendering, SolidModelWithoutItsAttributeDrawsNothing)
{
    useShaders("PatchTorus_Instanced_shader", solidWithoutAttribute);
    testing::internal::CaptureStderr();
    InstancedSolidTorus solid(1.0f, 0.4f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Could not locate \"patchUVposition\" input attribute in program [" +
                  std::to_string(currentProgram()) + "].\n");
    EXPECT_EQ(primitivesGenerated([&solid] { solid.draw(knownRotation); }), 0u);
}

TEST_F(PatchTorusRendering, WireframeModelWithoutItsAttributeDrawsNothing)
{
    useShaders("PatchTorus_Wireframe_shader", wireframeWithoutAttribute);
    testing::internal::CaptureStderr();
    WireframeTorus wireframe(1.0f, 0.45f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Could not locate \"position\" input attribute in program [" + std::to_string(currentProgram()) +
                  "].\n");
    EXPECT_EQ(primitivesGenerated([&wireframe] { wireframe.draw(knownRotation); }), 0u);
}

TEST_F(PatchTorusRendering, SolidSilhouetteMatchesTheCpuEvaluatedPatches)
{
    ASSERT_TRUE(PatchTorus::setUpSample());
    drawOnly(PatchTorus::solidTorus, knownRotation);
    const std::vector<std::uint8_t> pixels = readFramebuffer(width, height);
    saveArtifact("PatchTorus-solid.png", pixels, width, height);
    const std::vector<std::uint8_t> expected = solidTorusCoverage(knownRotation, width, height);

    std::size_t both = 0;
    std::size_t either = 0;
    std::set<std::uint8_t> shades;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = pixelAt(pixels, x, y, width);
            const bool rendered = isSolidColour(pixel);
            const bool reference = expected[static_cast<std::size_t>(y) * width + x] != 0;
            both += rendered && reference;
            either += rendered || reference;
            if (rendered)
                shades.insert(pixel[1]);
        }
    }
    ASSERT_GT(either, 20000u) << "the torus should fill a good part of the frame";
    const double intersectionOverUnion = static_cast<double>(both) / static_cast<double>(either);
    std::cout << "solid silhouette IoU " << intersectionOverUnion << " (" << both << " of " << either << " pixels)\n";
    // Rasterisers differ only in pixels whose centres lie on an edge; a rotation off by one
    // degree already falls to 0.98.
    EXPECT_GE(intersectionOverUnion, 0.995);
    // Lit by a surface normal, not flat: a wide range of greens.
    EXPECT_GE(shades.size(), 64u);
}

TEST_F(PatchTorusRendering, WireframePixelsLieOnTheCpuProjectedSegments)
{
    // The diamond-exit rule puts a fragment's centre within half a pixel of its line, and GL
    // lets an implementation's fragments lie one pixel off that in x and in y.
    const double lineFragmentReach = 0.5 + std::sqrt(2.0);
    ASSERT_TRUE(PatchTorus::setUpSample());
    drawOnly(PatchTorus::wireframeTorus, knownRotation);
    const std::vector<std::uint8_t> pixels = readFramebuffer(width, height);
    const std::vector<Segment> segments = wireframeSegments(knownRotation, width, height);

    std::size_t wirePixels = 0;
    std::size_t strayPixels = 0;
    std::vector<WindowPoint> drawn;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = pixelAt(pixels, x, y, width);
            if (pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0)
                continue;
            const WindowPoint centre = {x + 0.5, y + 0.5};
            if (!isWireframeColour(pixel) || distanceToSegments(centre, {segments}) > lineFragmentReach)
                ++strayPixels;
            else
                drawn.push_back(centre);
            ++wirePixels;
        }
    }
    EXPECT_GT(wirePixels, 3000u);
    EXPECT_EQ(strayPixels, 0u);
    // And every segment was drawn: its midpoint has a wire pixel beside it.
    std::size_t missing = 0;
    for (const Segment& segment : segments) {
        const WindowPoint middle = {(segment.first.x + segment.second.x) / 2, (segment.first.y + segment.second.y) / 2};
        bool found = false;
        for (const WindowPoint& point : drawn)
            found = found || (std::abs(point.x - middle.x) <= 1.5 && std::abs(point.y - middle.y) <= 1.5);
        missing += !found;
    }
    EXPECT_EQ(missing, 0u);
}

TEST_F(PatchTorusRendering, FrameShowsTheGreenTorusInItsOrangeCageAndTurns)
{
    ASSERT_TRUE(PatchTorus::setUpSample());
    PatchTorus::drawFrame();
    for (float angle : PatchTorus::rotationAngles)
        EXPECT_EQ(angle, 0.5f);
    const std::vector<std::uint8_t> first = readFramebuffer(width, height);
    saveArtifact("PatchTorus-frame.png", first, width, height);

    std::size_t green = 0;
    std::size_t orange = 0;
    std::size_t other = 0;
    for (std::size_t i = 0; i < first.size(); i += 4) {
        const std::uint8_t* pixel = &first[i];
        if (isSolidColour(pixel))
            ++green;
        else if (isWireframeColour(pixel))
            ++orange;
        else if (pixel[0] != 0 || pixel[1] != 0 || pixel[2] != 0)
            ++other;
    }
    EXPECT_GT(green, 10000u);
    EXPECT_GT(orange, 1000u);
    EXPECT_EQ(other, 0u);

    for (int frame = 0; frame < 10; ++frame)
        PatchTorus::drawFrame();
    EXPECT_NE(readFramebuffer(width, height), first);
}
