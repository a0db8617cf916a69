#include "ImageCompare.h"

#include <cmath>
#include <limits>

namespace texops {

namespace {

double psnrFromSquaredError(double squaredError, double samples)
{
    if (squaredError == 0)
        return std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(255.0 * 255.0 / (squaredError / samples));
}

} // namespace

PsnrReport comparePsnr(const etc::Image& reference, const etc::Image& candidate)
{
    double squared[4] = {0, 0, 0, 0};
    for (std::size_t i = 0; i < reference.rgba.size(); ++i) {
        double d = double(reference.rgba[i]) - candidate.rgba[i];
        squared[i % 4] += d * d;
    }
    const double texels = double(reference.rgba.size()) / 4;
    PsnrReport report;
    for (int c = 0; c < 4; ++c)
        report.channel[c] = psnrFromSquaredError(squared[c], texels);
    report.rgb = psnrFromSquaredError(squared[0] + squared[1] + squared[2], texels * 3);
    return report;
}

} // namespace texops
