#include "Paint.h"

#include <algorithm>
#include <cmath>

namespace assets {

namespace {

std::uint8_t toByte(double value) { return std::uint8_t(std::lround(clamp01(value) * 255.0)); }

void store(etc::Image& image, int x, int y, const Rgba& colour)
{
    std::uint8_t* p = &image.rgba[(std::size_t(y) * image.width + x) * 4];
    p[0] = toByte(colour.r);
    p[1] = toByte(colour.g);
    p[2] = toByte(colour.b);
    p[3] = toByte(colour.a);
}

etc::Image blankImage(int width, int height)
{
    etc::Image image;
    image.width = width;
    image.height = height;
    image.rgba.assign(std::size_t(width) * height * 4, 0);
    return image;
}

} // namespace

Rgba rgb(std::uint32_t hex, double alpha)
{
    return {((hex >> 16) & 0xff) / 255.0, ((hex >> 8) & 0xff) / 255.0, (hex & 0xff) / 255.0, alpha};
}

Rgba mix(const Rgba& from, const Rgba& to, double t)
{
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

Rgba scaled(const Rgba& colour, double factor)
{
    return {colour.r * factor, colour.g * factor, colour.b * factor, colour.a};
}

double clamp01(double value) { return std::clamp(value, 0.0, 1.0); }

double smoothstep(double edge0, double edge1, double value)
{
    double t = clamp01((value - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

etc::Image renderPicture(int width, int height, int samples, const std::function<Rgba(double x, double y)>& shade)
{
    etc::Image image = blankImage(width, height);
    const double count = double(samples) * samples;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgba sum{0, 0, 0, 0};
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    Rgba c = shade(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples);
                    double a = clamp01(c.a);
                    sum.r += c.r * a;
                    sum.g += c.g * a;
                    sum.b += c.b * a;
                    sum.a += a;
                }
            }
            Rgba mean{0, 0, 0, sum.a / count};
            if (sum.a > 0) {
                mean.r = sum.r / sum.a;
                mean.g = sum.g / sum.a;
                mean.b = sum.b / sum.a;
            }
            store(image, x, y, mean);
        }
    }
    return image;
}

etc::Image renderData(int width, int height, const std::function<Rgba(int x, int y)>& value)
{
    etc::Image image = blankImage(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            store(image, x, y, value(x, y));
    return image;
}

} // namespace assets
