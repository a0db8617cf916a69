#include "TestPictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

namespace codectest {

namespace {

std::uint8_t clampByte(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

etc::Image blank(int width, int height)
{
    etc::Image image;
    image.width = width;
    image.height = height;
    image.rgba.assign(static_cast<std::size_t>(width) * height * 4, 255);
    return image;
}

std::uint8_t* texel(etc::Image& image, int x, int y)
{
    return &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
}

} // namespace

etc::Image colourPicture(int width, int height)
{
    etc::Image image = blank(width, height);
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0.0, 3.0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* t = texel(image, x, y);
            const double u = static_cast<double>(x) / width;
            const double v = static_cast<double>(y) / height;
            double rgb[3] = {255 * u, 255 * v, 255 * (1 - u) * (0.5 + 0.5 * v)};
            const double dx = u - 0.65;
            const double dy = v - 0.35;
            if (dx * dx + dy * dy < 0.04) {
                rgb[0] = 230;
                rgb[1] = 200;
                rgb[2] = 40;
            } else if (u < 0.3 && v > 0.6) {
                const bool on = (x / 2 + y) % 3 == 0;
                rgb[0] = on ? 40 : 200;
                rgb[1] = on ? 180 : 60;
                rgb[2] = on ? 220 : 90;
            }
            for (int c = 0; c < 3; ++c) {
                t[c] = clampByte(rgb[c] + noise(random));
            }
        }
    }
    return image;
}

etc::Image translucentPicture(int width, int height)
{
    etc::Image image = colourPicture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double blob = std::sin(x * 0.2) * std::cos(y * 0.15);
            texel(image, x, y)[3] = clampByte(255.0 * x / width * 0.6 + 100 * blob + 60);
        }
    }
    return image;
}

etc::Image cutoutPicture(int width, int height)
{
    etc::Image image = colourPicture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double dx = x - width / 2.0;
            const double dy = y - height / 2.0;
            const double radius = width * (0.35 + 0.05 * std::sin(std::atan2(dy, dx) * 7));
            texel(image, x, y)[3] = dx * dx + dy * dy < radius * radius ? 255 : 0;
        }
    }
    return image;
}

etc::Image heightPicture(int width, int height)
{
    etc::Image image = blank(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double h = 128 + 90 * std::sin(x * 0.07) * std::cos(y * 0.05) + 30 * std::sin((x + y) * 0.3);
            std::uint8_t* t = texel(image, x, y);
            t[0] = t[1] = t[2] = clampByte(h);
        }
    }
    return image;
}

etc::Image normalPicture(int width, int height)
{
    etc::Image image = blank(width, height);
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0.0, 2.0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double nx = 0.6 * std::sin(x * 0.25) * std::cos(y * 0.1);
            const double ny = 0.6 * std::cos(x * 0.08) * std::sin(y * 0.3);
            std::uint8_t* t = texel(image, x, y);
            t[0] = clampByte((nx + 1) * 127.5 + noise(random));
            t[1] = clampByte((ny + 1) * 127.5 + noise(random));
            t[2] = clampByte(255 * std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny)));
        }
    }
    return image;
}

std::vector<etc::PixelBlock> variedBlocks()
{
    std::mt19937 random(5);
    auto byte = [&](int low, int high) {
        return static_cast<std::uint8_t>(low + static_cast<int>(random() % (high - low + 1)));
    };
    std::vector<etc::PixelBlock> blocks;
    auto add = [&](auto texelOf) {
        etc::PixelBlock block;
        for (int i = 0; i < etc::texelsPerBlock; ++i) {
            const std::array<int, 4> c = texelOf(i & 3, i >> 2);
            for (int k = 0; k < 4; ++k) {
                block.rgba[i][k] = static_cast<std::uint8_t>(std::clamp(c[k], 0, 255));
            }
        }
        blocks.push_back(block);
    };
    for (int n = 0; n < 60; ++n) {
        const int low = n % 3 == 0 ? 0 : byte(0, 200);
        const int high = n % 3 == 1 ? 255 : byte(low, 255);
        add([&](int, int) {
            return std::array<int, 4>{byte(low, high), byte(low, high), byte(low, high), byte(0, 255)};
        });
    }
    for (int n = 0; n < 20; ++n) {
        const std::array<int, 4> flat{byte(0, 255), byte(0, 255), byte(0, 255), 255};
        add([&](int, int) { return flat; });
    }
    for (int n = 0; n < 30; ++n) {
        const int r = byte(0, 255), g = byte(0, 255), b = byte(0, 255);
        const int dx = static_cast<int>(random() % 81) - 40, dy = static_cast<int>(random() % 81) - 40;
        add([&](int x, int y) { return std::array<int, 4>{r + dx * x, g + dy * y, b + (dx + dy) * (x + y) / 2, 255}; });
    }
    for (int corner = 0; corner < 8; ++corner) {
        const int r = corner & 1 ? 255 : 0, g = corner & 2 ? 255 : 0, b = corner & 4 ? 255 : 0;
        add([&](int, int) { return std::array<int, 4>{r, g, b, 255}; });
        add([&](int x, int y) {
            return (x + y) % 2 == 0 ? std::array<int, 4>{r, g, b, 255}
                                    : std::array<int, 4>{255 - r, 255 - g, 255 - b, 255};
        });
    }
    for (int n = 0; n < 30; ++n) {
        const std::array<int, 4> one{byte(0, 255), byte(0, 255), byte(0, 255), 255};
        const std::array<int, 4> two{byte(0, 255), byte(0, 255), byte(0, 255), 255};
        const int pattern = n % 3;
        add([&](int x, int y) {
            const bool first = pattern == 0 ? x < 2 : pattern == 1 ? y < 2 : (x * 3 + y * 5) % 4 < 2;
            return first ? one : two;
        });
    }
    return blocks;
}

} // namespace codectest
