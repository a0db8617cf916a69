#ifndef ETCTOOL_TOOL_FILES_H
#define ETCTOOL_TOOL_FILES_H

#include "EtcCodec.h"
#include "EtcFormat.h"
#include "Ktx2.h"

#include <string>

namespace etctool {

// A compressed texture read from a PKM file (one level) or a KTX2 file (every level).
struct CompressedTexture {
    bool isKtx2 = false;
    etc::Ktx2File texture;
};

// Reads a PKM or KTX2 file, told apart by their magic; "-" reads standard input.
bool readCompressed(const std::string& path, CompressedTexture& compressed, std::string& error);

// A compressed file as loadImage decoded it: its format and the whole decode of its base
// level (with the 11-bit values of the EAC formats).
struct CompressedSource {
    bool present = false;
    etc::Format format = etc::Format::Etc1;
    etc::DecodedImage decoded;
};

// Reads a PNG, or a PKM or KTX2 file (recognised by its magic) with its base level decoded to
// its displayable RGBA; for a compressed file `source`, if given, receives the decode.
bool loadImage(const std::string& path, etc::Image& image, std::string& error, CompressedSource* source = nullptr);

bool parseFormat(const std::string& name, const etc::FormatInfo*& format, std::string& error);
bool parseEffort(const std::string& name, etc::Effort& effort, std::string& error);
// "fast, default, ..." for messages.
std::string effortNameList();

// "etc1, r11, ..." for help texts and errors.
std::string formatNameList();

} // namespace etctool

#endif
