#ifndef IMAGE_IO_KTX2_IO_H
#define IMAGE_IO_KTX2_IO_H

#include "Ktx2.h"

#include <string>

namespace imageio {

// KTX2 files on disk, through the tools' one file layer (AtomicFile.h). Errors name the file.
bool readKtx2(const std::string& path, etc::Ktx2File& file, std::string& error);
// `writer` identifies the tool in the file's KTXwriter metadata.
bool writeKtx2(const std::string& path, const etc::Ktx2File& file, const std::string& writer, std::string& error);

} // namespace imageio

#endif
