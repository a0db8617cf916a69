#include "TestImages.h"

etc::Image patternImage(int width, int height)
{
    etc::Image image{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 4)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &image.rgba[(std::size_t(y) * width + x) * 4];
            p[0] = std::uint8_t(x * 37 + y * 11);
            p[1] = std::uint8_t(x * 5 + y * 53 + 7);
            p[2] = std::uint8_t(x * y + 101);
            p[3] = std::uint8_t(255 - x * 3 - y * 17);
        }
    }
    return image;
}

etc::Image solidImage(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    etc::Image image{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        image.rgba.insert(image.rgba.end(), {r, g, b, a});
    return image;
}

const std::uint8_t* texel(const etc::Image& image, int x, int y)
{
    return &image.rgba[(std::size_t(y) * image.width + x) * 4];
}
