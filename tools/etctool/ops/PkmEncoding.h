#ifndef TEXTURE_OPS_PKM_ENCODING_H
#define TEXTURE_OPS_PKM_ENCODING_H

#include "EtcCodec.h"
#include "Pkm.h"

#include <string>

namespace texops {

// PKM headers store 16-bit sizes, padded to whole blocks.
constexpr int maximumPkmSide = 65532;

// Compresses an image into a PKM file record. Fails, saying why in `error`, for images that
// a PKM header cannot describe (empty, or a side over maximumPkmSide).
bool encodePkm(const etc::Image& image, etc::Format format, const etc::EncodeOptions& options, etc::PkmFile& pkm,
               std::string& error);

} // namespace texops

#endif
