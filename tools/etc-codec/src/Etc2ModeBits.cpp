#include "Etc2ModeBits.h"

#include "BlockLayout.h"

namespace etc {

namespace {

bool sumOverflows(std::uint64_t word, int baseLowBit)
{
    const int sum = static_cast<int>(bitField(word, baseLowBit, 5)) + signedField(word, baseLowBit - 3, 3);
    return sum < 0 || sum > 31;
}

} // namespace

Etc2Mode detectEtc2Mode(std::uint64_t word, bool punchthrough)
{
    if (!punchthrough && bitField(word, 33, 1) == 0) {
        return Etc2Mode::Individual;
    }
    if (sumOverflows(word, 59)) {
        return Etc2Mode::T;
    }
    if (sumOverflows(word, 51)) {
        return Etc2Mode::H;
    }
    if (sumOverflows(word, 43)) {
        return Etc2Mode::Planar;
    }
    return Etc2Mode::Differential;
}

std::uint64_t forceEtc2Mode(std::uint64_t word, std::uint64_t freeBits, Etc2Mode mode)
{
    word &= ~freeBits;
    // At most six free bits: try their combinations from all-zero upwards.
    std::uint64_t subset = 0;
    do {
        if (detectEtc2Mode(word | subset, false) == mode) {
            return word | subset;
        }
        subset = (subset - freeBits) & freeBits;
    } while (subset != 0);
    return word; // not reached for the layouts of T, H and planar blocks
}

} // namespace etc
