#ifndef ETC_COMPLETE_SUBBLOCK_SEARCH_H
#define ETC_COMPLETE_SUBBLOCK_SEARCH_H

#include "NeighbourhoodSearch.h"

// The best subblock-mode encoding there is: every flip, mode, base code and table. A half's
// error, clamping included, is at least the sum over its components of the error each
// component would have with a selector of its own per texel; those per-component errors are
// tabulated per table and code, so that a code is scored exactly only where that bound lies
// below the best error found so far.
namespace etc {

struct SubblockChoice {
    HalfPair pair;
    bool flip = false;
    bool differential = false;
};

// The halves of both flips (byFlip[flip][half]); `search` gives the tables and allowed
// selectors. Only an encoding whose error lies below `below` counts: false when there is none.
bool searchSubblocksCompletely(const HalfTexels (&byFlip)[2][2], const HalfSearch& search, bool allowIndividual,
                               long below, SubblockChoice& choice);

} // namespace etc

#endif
