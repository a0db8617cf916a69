#ifndef ETC_COMPONENT_GRID_H
#define ETC_COMPONENT_GRID_H

// The 8-bit values a stored colour component of 4 to 7 bits can take, and the search for
// the best stored value of one component once each texel's offset is known.
namespace etc {

int gridValue(int bits, int code);

// The code whose widened value lies nearest to `value` (clamped to 0..255 first).
int nearestCode(int bits, int value);

struct ComponentFit {
    int code = 0;
    int error = 0;
};

// The code in [lowCode, highCode] that minimises the sum over the texels of
// (clamp255(gridValue(code) + offsets[i]) - values[i])^2, searched around the unclamped
// optimum, which is exact unless clamping moves it further.
ComponentFit fitComponent(const int* values, const int* offsets, int count, int bits, int lowCode, int highCode);

} // namespace etc

#endif
