#ifndef TEXTURE_OPS_PKM_CHAIN_H
#define TEXTURE_OPS_PKM_CHAIN_H

#include "Pkm.h"

#include <string>
#include <vector>

namespace texops {

// Writes level L of the chain to levelFileName(pattern, L), each file through a temporary
// name. All or nothing: when a write fails, the files this call has already written are
// removed again, so no chain is left that a loader would take for complete.
bool savePkmChain(const std::string& pattern, const std::vector<etc::PkmFile>& levels, std::string& error);

} // namespace texops

#endif
