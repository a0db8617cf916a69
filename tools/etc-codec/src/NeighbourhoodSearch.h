#ifndef ETC_NEIGHBOURHOOD_SEARCH_H
#define ETC_NEIGHBOURHOOD_SEARCH_H

#include "SubblockSearch.h"

// Search of every base colour in a box of codes around the halves' mean colours. Without
// clamping, the error of base b over a half's texels p splits into a part per component,
// sum_t (b_c - p_tc)^2, and a part that depends on b_r + b_g + b_b alone:
// sum_t min_m (3 m^2 + 2 m (b_r + b_g + b_b - p_tr - p_tg - p_tb)). The second part is
// tabulated once per sum (lowest over the tables), so that every code of the box costs four
// look-ups. The best pairs found that way (differential: halves at most the allowed step
// apart) are scored again with clamping, over every table.
namespace etc {

struct HalfPair {
    HalfFit fits[2];
    long error() const { return long{fits[0].error} + fits[1].error; }
};

// Differential (`search.bits` 5, halves paired) or individual (4, halves apart) mode; the
// error is INT_MAX per half where the search found nothing (a half without counted texels).
HalfPair searchNeighbourhood(const HalfTexels (&halves)[2], const HalfSearch& search, const SubblockEffort& effort);

} // namespace etc

#endif
