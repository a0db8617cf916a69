#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstdio>

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

void writeRawPng(const std::string& path, int width, int height, int colourType, int bitDepth,
                 const std::vector<std::uint8_t>& rows, const std::vector<png_color>& palette,
                 const std::vector<png_byte>& transparency)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, bitDepth, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!transparency.empty())
        png_set_tRNS(png, info, transparency.data(), int(transparency.size()), nullptr);
    png_write_info(png, info);
    const std::size_t stride = rows.size() / height;
    for (int y = 0; y < height; ++y)
        png_write_row(png, rows.data() + y * stride);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}
