// The sample's GL passes in an offscreen context of the window's size, with the program's
// own shaders, checked cell for cell against Rule 30 on the CPU.

#include "CellAutomatonSample.h"
#include "CellGrid.h"
#include "OffscreenContext.h"
#include "Rule30Reference.h"

#include <GLES3/gl3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace CellAutomaton;

namespace {

const std::string cellAutomatonShaderFolder =
    std::string(KORVO_SOURCE_ROOT) + "/samples/OpenGL-ES-3.0/linux/CellAutomaton/assets/";

// A texture's cells, rows from the top (the seed row first).
std::vector<CellRow> readCellTexture(GLuint textureId)
{
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textureId, 0);
    EXPECT_EQ(glCheckFramebufferStatus(GL_READ_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    // The one format and type every implementation reads unsigned-integer colour with.
    std::vector<GLuint> texels(static_cast<size_t>(gridWidth) * gridHeight * 4);
    glReadPixels(0, 0, gridWidth, gridHeight, GL_RGBA_INTEGER, GL_UNSIGNED_INT, texels.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "reading a cell texture";

    std::vector<CellRow> rows(gridHeight, CellRow(gridWidth));
    for (int row = 0; row < gridHeight; ++row)
        for (int column = 0; column < gridWidth; ++column)
            rows[gridHeight - 1 - row][column] = static_cast<std::uint8_t>(texels[(row * gridWidth + column) * 4]);
    return rows;
}

// What each texture must hold once the passes grew `history` (seed first): ping the seed
// and the even generations, pong the odd ones, each in its own row below the top; every
// other row dead.
std::vector<CellRow> expectedTexture(const std::vector<CellRow>& history, int parity)
{
    std::vector<CellRow> rows(history.size(), CellRow(gridWidth, 0));
    for (size_t generation = parity; generation < history.size(); generation += 2)
        rows[generation] = history[generation];
    return rows;
}

CellRow singleCellSeed()
{
    CellRow seed(gridWidth, 0);
    seed[400] = 255;
    return seed;
}

// The row the program's rand() calls give: live where the value is even.
CellRow randomSeed(unsigned int seed)
{
    srand(seed);
    CellRow row(gridWidth);
    for (std::uint8_t& cell : row)
        cell = rand() % 2 == 0 ? 255 : 0;
    return row;
}

int liveCount(const std::vector<CellRow>& rows)
{
    int live = 0;
    for (const CellRow& row : rows)
        for (std::uint8_t cell : row)
            live += cell != 0;
    return live;
}

class CellAutomatonGl : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.ok());
        assetsDirectory = cellAutomatonShaderFolder;
        ASSERT_TRUE(setUpSample());
    }

    void TearDown() override { tearDownSample(); }

    void expectTexturesHold(const std::vector<CellRow>& history)
    {
        const std::vector<CellRow> ping = readCellTexture(pingTextureId);
        const std::vector<CellRow> pong = readCellTexture(pongTextureId);
        EXPECT_EQ(describeDifference(expectedTexture(history, 0), ping), "") << "ping: seed and even generations";
        EXPECT_EQ(describeDifference(expectedTexture(history, 1), pong), "") << "pong: odd generations";
    }

    OffscreenContext context{gridWidth, gridHeight};
};

} // namespace

TEST_F(CellAutomatonGl, BeforeAnyPassPingHoldsTheSeedCellAndPongIsDead)
{
    const std::vector<CellRow> ping = readCellTexture(pingTextureId);
    const std::vector<CellRow> pong = readCellTexture(pongTextureId);
    EXPECT_EQ(describeDifference(expectedTexture({singleCellSeed()}, 0), {ping.begin(), ping.begin() + 1}), "");
    EXPECT_EQ(liveCount(ping), 1);
    EXPECT_EQ(liveCount(pong), 0) << "pong starts dead, not undefined";
}

TEST_F(CellAutomatonGl, OddGenerationsLandInPongAndEvenOnesInPingOneRowEachBelowTheSeed)
{
    computeGenerations();
    // Generation i in row 599 - i; generation 600 falls below the bottom edge.
    expectTexturesHold(growHistory(singleCellSeed(), gridHeight));
}

TEST_F(CellAutomatonGl, MergedPictureShowsTheHistoryWithTheSeedRowAtTheTop)
{
    drawFrame();
    std::vector<std::uint8_t> bottomUp(static_cast<size_t>(gridWidth) * gridHeight * 4);
    glReadPixels(0, 0, gridWidth, gridHeight, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    std::vector<std::uint8_t> topDown(bottomUp.size());
    const size_t rowBytes = static_cast<size_t>(gridWidth) * 4;
    for (int y = 0; y < gridHeight; ++y)
        std::copy_n(&bottomUp[(gridHeight - 1 - y) * rowBytes], rowBytes, &topDown[y * rowBytes]);

    int otherPixels = -1;
    const std::vector<CellRow> picture = cellsInPicture(topDown, gridWidth, gridHeight, &otherPixels);
    EXPECT_EQ(otherPixels, 0) << "pixels of neither the live nor the dead colour";
    EXPECT_EQ(describeDifference(growHistory(singleCellSeed(), gridHeight), picture), "");
}

TEST_F(CellAutomatonGl, ReseedReplacesPingWithARandomTopRowAndThePassesRegrowBothTextures)
{
    drawFrame();
    const CellRow seed = randomSeed(2024);
    srand(2024);
    reseedAutomaton();

    const std::vector<CellRow> reseeded = readCellTexture(pingTextureId);
    EXPECT_EQ(describeDifference(expectedTexture({seed}, 0), {reseeded.begin(), reseeded.begin() + 1}), "");
    EXPECT_EQ(liveCount(reseeded), liveCount({seed})) << "ping below the top row is dead again";

    computeGenerations();
    expectTexturesHold(growHistory(seed, gridHeight));
}
