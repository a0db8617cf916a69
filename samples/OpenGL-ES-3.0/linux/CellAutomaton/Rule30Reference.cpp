#include "Rule30Reference.h"

#include <algorithm>
#include <cstdlib>

namespace CellAutomaton {

namespace {

// The merge shader's colours, (1.0, 0.75, 0.0) and (0.0, 0.1, 0.3), in 8-bit channels.
const int liveColour[3] = {255, 191, 0};
const int deadColour[3] = {0, 26, 77};
// Rounding of the float colours to 8 bits may differ by one step between drivers.
constexpr int colourTolerance = 2;

bool showsColour(const std::uint8_t* pixel, const int colour[3])
{
    for (int channel = 0; channel < 3; ++channel)
        if (std::abs(pixel[channel] - colour[channel]) > colourTolerance)
            return false;
    return true;
}

bool live(std::uint8_t cell) { return cell != 0; }

} // namespace

CellRow nextGeneration(const CellRow& row)
{
    const int width = static_cast<int>(row.size());
    CellRow next(row.size());
    for (int column = 0; column < width; ++column) {
        const bool left = live(row[std::max(column - 1, 0)]);
        const bool centre = live(row[column]);
        const bool right = live(row[std::min(column + 1, width - 1)]);
        next[column] = (left != (centre || right)) ? 255 : 0;
    }
    return next;
}

std::vector<CellRow> growHistory(const CellRow& seed, int rowCount)
{
    std::vector<CellRow> history;
    if (rowCount <= 0)
        return history;
    history.reserve(static_cast<size_t>(rowCount));
    history.push_back(seed);
    while (static_cast<int>(history.size()) < rowCount)
        history.push_back(nextGeneration(history.back()));
    return history;
}

std::vector<CellRow> cellsInPicture(const std::vector<std::uint8_t>& rgbaFromTop, int width, int height,
                                    int* otherPixels)
{
    std::vector<CellRow> rows(static_cast<size_t>(height), CellRow(static_cast<size_t>(width), 0));
    int others = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = &rgbaFromTop[(static_cast<size_t>(y) * width + x) * 4];
            if (showsColour(pixel, liveColour))
                rows[y][x] = 255;
            else if (!showsColour(pixel, deadColour))
                ++others;
        }
    }
    *otherPixels = others;
    return rows;
}

std::string describeDifference(const std::vector<CellRow>& expected, const std::vector<CellRow>& actual)
{
    if (expected.size() != actual.size())
        return std::to_string(expected.size()) + " rows expected, " + std::to_string(actual.size()) + " seen";
    std::string first;
    int differingRows = 0;
    for (size_t row = 0; row < expected.size(); ++row) {
        if (expected[row].size() != actual[row].size())
            return "row " + std::to_string(row) + " has " + std::to_string(actual[row].size()) + " cells, " +
                std::to_string(expected[row].size()) + " expected";
        for (size_t column = 0; column < expected[row].size(); ++column) {
            if (live(expected[row][column]) == live(actual[row][column]))
                continue;
            if (first.empty())
                first = "row " + std::to_string(row) + " column " + std::to_string(column) + ": expected " +
                    (live(expected[row][column]) ? "live" : "dead");
            ++differingRows;
            break;
        }
    }
    if (differingRows == 0)
        return "";
    return first + " (" + std::to_string(differingRows) + " rows differ)";
}

} // namespace CellAutomaton
