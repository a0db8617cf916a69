#ifndef IMAGE_IO_PKM_IO_H
#define IMAGE_IO_PKM_IO_H

#include "Pkm.h"

#include <string>
#include <vector>

namespace imageio {

// PKM files on disk, through the tools' one file layer (AtomicFile.h). Errors name the file.
bool readPkm(const std::string& path, etc::PkmFile& file, std::string& error);
bool writePkm(const std::string& path, const etc::PkmFile& file, std::string& error);

// Writes level L of a mipmap chain to levelPaths[L]. The chain is one unit: either every level
// replaces its file or, when one cannot be written, no file is changed.
bool writePkmChain(const std::vector<std::string>& levelPaths, const std::vector<etc::PkmFile>& levels,
                   std::string& error);

} // namespace imageio

#endif
