#include "Text.h"

#include "ExitExpectation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using KorvoSDK::GlyphQueue;

namespace {

struct Quad {
    float left, right, bottom, top;
    float s0, s1, tBottom, tTop;
};

// Character `slot` read back from the queue, checking that its corners form an axis-aligned
// quad in the order bottom-left, bottom-right, top-left, top-right.
Quad quadAt(const GlyphQueue& queue, int slot)
{
    const float* v = queue.vertices() + slot * 12;
    const float* t = queue.textureCoordinates() + slot * 8;
    const Quad quad = {v[0], v[3], v[1], v[7], t[0], t[2], t[1], t[5]};
    EXPECT_EQ(v[6], quad.left);
    EXPECT_EQ(v[9], quad.right);
    EXPECT_EQ(v[4], quad.bottom);
    EXPECT_EQ(v[10], quad.top);
    for (int corner = 0; corner < 4; ++corner)
        EXPECT_EQ(v[3 * corner + 2], 0.0f);
    EXPECT_EQ(t[4], quad.s0);
    EXPECT_EQ(t[6], quad.s1);
    EXPECT_EQ(t[3], quad.tBottom);
    EXPECT_EQ(t[7], quad.tTop);
    return quad;
}

void expectGlyphCell(const Quad& quad, int column, int row)
{
    EXPECT_EQ(quad.s0, column * 8 / 256.0f);
    EXPECT_EQ(quad.s1, (column * 8 + 8) / 256.0f);
    EXPECT_EQ(quad.tTop, row * 16 / 48.0f);
    EXPECT_EQ(quad.tBottom, (row * 16 + 16) / 48.0f);
}

std::vector<uint16_t> indicesOf(const GlyphQueue& queue)
{
    return std::vector<uint16_t>(queue.indices(), queue.indices() + queue.indexCount());
}

} // namespace

TEST(TextTest, TwoCharactersMakeTwoAdjacentQuadsInOneStrip)
{
    GlyphQueue queue;
    queue.append(0, 0, "AB", 255, 255, 255, 255);
    ASSERT_EQ(queue.characterCount(), 2);
    EXPECT_EQ(queue.indexCount(), 10);
    EXPECT_EQ(indicesOf(queue), (std::vector<uint16_t>{0, 1, 2, 3, 3, 4, 4, 5, 6, 7}));

    const Quad a = quadAt(queue, 0);
    EXPECT_EQ(a.left, 0.0f);
    EXPECT_EQ(a.right, 8.0f);
    EXPECT_EQ(a.bottom, 0.0f);
    EXPECT_EQ(a.top, 16.0f);
    EXPECT_EQ(a.s0, 8.0f / 256);
    EXPECT_EQ(a.s1, 16.0f / 256);
    EXPECT_EQ(a.tBottom, 32.0f / 48);
    EXPECT_EQ(a.tTop, 16.0f / 48);

    const Quad b = quadAt(queue, 1);
    EXPECT_EQ(b.left, 8.0f);
    EXPECT_EQ(b.right, 16.0f);
    expectGlyphCell(b, 2, 1);
}

TEST(TextTest, GlyphCellsFollowTheCodeInAThirtyTwoColumnGrid)
{
    GlyphQueue queue;
    queue.append(-5, 7, " ?@_`~\x7f", 0, 0, 0, 0);
    const int cells[][2] = {{0, 0}, {31, 0}, {0, 1}, {31, 1}, {0, 2}, {30, 2}, {31, 2}};
    for (int k = 0; k < 7; ++k) {
        const Quad quad = quadAt(queue, k);
        expectGlyphCell(quad, cells[k][0], cells[k][1]);
        EXPECT_EQ(quad.left, -5.0f + 8 * k);
        EXPECT_EQ(quad.bottom, 7.0f);
        EXPECT_EQ(quad.top, 23.0f);
    }
    // The space is the top-left cell of the font.
    const Quad space = quadAt(queue, 0);
    EXPECT_EQ(space.s0, 0.0f);
    EXPECT_EQ(space.s1, 8.0f / 256);
    EXPECT_EQ(space.tBottom, 16.0f / 48);
    EXPECT_EQ(space.tTop, 0.0f);
}

TEST(TextTest, BytesWithoutAGlyphTakeTheSpaceCell)
{
    GlyphQueue queue;
    queue.append(0, 0, "\x01\x1f\x80\xff\t", 255, 255, 255, 255);
    ASSERT_EQ(queue.characterCount(), 5);
    for (int k = 0; k < 5; ++k) {
        const Quad quad = quadAt(queue, k);
        expectGlyphCell(quad, 0, 0);
        EXPECT_EQ(quad.left, 8.0f * k) << "still one cell each";
    }
}

TEST(TextTest, ColourComponentsAreDividedBy255OnEveryCorner)
{
    GlyphQueue queue;
    queue.append(0, 0, "xy", 255, 128, 0, 255);
    for (int corner = 0; corner < 8; ++corner) {
        const float* c = queue.colors() + 4 * corner;
        EXPECT_EQ(c[0], 1.0f);
        EXPECT_EQ(c[1], 128.0f / 255.0f);
        EXPECT_EQ(c[2], 0.0f);
        EXPECT_EQ(c[3], 1.0f);
    }
}

TEST(TextTest, SecondStringTakesTheSlotsAfterTheFirstInTheSameStrip)
{
    GlyphQueue queue;
    queue.append(10, 20, "AB", 255, 0, 0, 255);
    queue.append(100, 200, "C", 0, 0, 255, 128);
    ASSERT_EQ(queue.characterCount(), 3);
    EXPECT_EQ(indicesOf(queue), (std::vector<uint16_t>{0, 1, 2, 3, 3, 4, 4, 5, 6, 7, 7, 8, 8, 9, 10, 11}));

    // The first string is kept as it was.
    const Quad b = quadAt(queue, 1);
    EXPECT_EQ(b.left, 18.0f);
    EXPECT_EQ(b.bottom, 20.0f);
    expectGlyphCell(b, 2, 1);
    EXPECT_EQ(queue.colors()[4 * 7 + 0], 1.0f);

    const Quad c = quadAt(queue, 2);
    EXPECT_EQ(c.left, 100.0f);
    EXPECT_EQ(c.right, 108.0f);
    EXPECT_EQ(c.bottom, 200.0f);
    expectGlyphCell(c, 3, 1);
    const float* colour = queue.colors() + 4 * 8;
    EXPECT_EQ(colour[0], 0.0f);
    EXPECT_EQ(colour[2], 1.0f);
    EXPECT_EQ(colour[3], 128.0f / 255.0f);
}

TEST(TextTest, StripIndicesJoinQuadsWithDegenerateTriangles)
{
    std::vector<uint16_t> one(4);
    KorvoSDK::fillGlyphStripIndices(one.data(), 1);
    EXPECT_EQ(one, (std::vector<uint16_t>{0, 1, 2, 3}));

    std::vector<uint16_t> three(16);
    KorvoSDK::fillGlyphStripIndices(three.data(), 3);
    EXPECT_EQ(three, (std::vector<uint16_t>{0, 1, 2, 3, 3, 4, 4, 5, 6, 7, 7, 8, 8, 9, 10, 11}));
}

TEST(TextTest, EmptyStringsAndClearLeaveNothingAllocated)
{
    GlyphQueue queue;
    queue.append(0, 0, "", 255, 255, 255, 255);
    EXPECT_EQ(queue.characterCount(), 0);
    EXPECT_EQ(queue.indexCount(), 0);
    EXPECT_EQ(queue.vertices(), nullptr);
    EXPECT_EQ(queue.textureCoordinates(), nullptr);
    EXPECT_EQ(queue.colors(), nullptr);
    EXPECT_EQ(queue.indices(), nullptr);

    queue.append(0, 0, "Hi", 255, 255, 255, 255);
    const std::vector<uint16_t> before = indicesOf(queue);
    queue.append(50, 50, "", 0, 0, 0, 0);
    EXPECT_EQ(queue.characterCount(), 2);
    EXPECT_EQ(indicesOf(queue), before);

    queue.clear();
    EXPECT_EQ(queue.characterCount(), 0);
    EXPECT_EQ(queue.vertices(), nullptr);
    EXPECT_EQ(queue.indices(), nullptr);
    queue.append(0, 0, "A", 255, 255, 255, 255);
    EXPECT_EQ(indicesOf(queue), (std::vector<uint16_t>{0, 1, 2, 3}));
}

TEST(TextTest, QueueHoldsAtMostWhatSixteenBitIndicesReach)
{
    GlyphQueue queue;
    const std::string half(GlyphQueue::maximumCharacters / 2, 'x');
    queue.append(0, 0, half.c_str(), 255, 255, 255, 255);
    queue.append(0, 16, half.c_str(), 255, 255, 255, 255);
    ASSERT_EQ(queue.characterCount(), 16384);
    EXPECT_EQ(queue.indexCount(), 6 * 16384 - 2);
    EXPECT_EQ(queue.indices()[queue.indexCount() - 1], 65535);
    EXPECT_EQ(quadAt(queue, 16383).left, 8.0f * 8191);

    EXPECT_EXIT_WITH_STDERR(queue.append(0, 0, "!", 255, 255, 255, 255), 1,
                            "Error: Cannot queue 1 more characters after 16384: Text holds at most 16384 "
                            "between two clear() calls\n\n");

    GlyphQueue other;
    const std::string tooMany(16385, 'x');
    EXPECT_EXIT_WITH_STDERR(other.append(0, 0, tooMany.c_str(), 255, 255, 255, 255), 1,
                            "Error: Cannot queue 16385 more characters after 0: Text holds at most 16384 "
                            "between two clear() calls\n\n");
}
