#ifndef TEXTURE_OPS_PKM_CHAIN_H
#define TEXTURE_OPS_PKM_CHAIN_H

#include "Pkm.h"

#include <string>
#include <vector>

namespace texops {

// The file of each level of a chain of `levelCount` levels: levelFileName(pattern, L).
std::vector<std::string> chainFileNames(const std::string& pattern, std::size_t levelCount);

// Writes level L of the chain to levelFileName(pattern, L). All or nothing: when a level
// cannot be written, every file the chain names keeps what it held before.
bool savePkmChain(const std::string& pattern, const std::vector<etc::PkmFile>& levels, std::string& error);

} // namespace texops

#endif
