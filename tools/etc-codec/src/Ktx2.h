#ifndef ETC_KTX2_H
#define ETC_KTX2_H

#include "EtcFormat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace etc {

// A 2D texture in a KTX 2.0 container (the Khronos texture file): one format, the base size and
// levels 0 (the base) to N - 1, each max(1, width >> L) x max(1, height >> L) texels of whole
// blocks. Written without supercompression; the ETC2 and EAC formats as their Vulkan formats,
// ETC1 (which Vulkan lacks) as VK_FORMAT_UNDEFINED with an ETC1 data format descriptor and the
// GL format in KTXglFormat metadata.
struct Ktx2File {
    Format format = Format::Etc1;
    int width = 0;
    int height = 0;
    std::vector<std::vector<std::uint8_t>> levels;
};

// The 12 bytes every KTX 2.0 file starts with.
bool hasKtx2Identifier(const std::vector<std::uint8_t>& bytes);

// The vkFormat a file of that format carries (0, VK_FORMAT_UNDEFINED, for ETC1).
std::uint32_t ktx2VkFormat(Format format);

// Levels a full chain of that base size has: floor(log2(max(width, height))) + 1.
int ktx2FullLevelCount(int width, int height);

// Whether the file can be written: positive sizes up to the largest side read back, 1 to the
// full chain's number of levels, each holding exactly the payload its size needs.
bool checkSerializable(const Ktx2File& file, std::string& error);

// `writer` goes into the KTXwriter metadata ("etctool 1.2", say).
std::vector<std::uint8_t> serializeKtx2(const Ktx2File& file, const std::string& writer);

// Parses and validates a whole file in memory: identifier, one of our formats, a 2D texture
// without supercompression, every index entry and level inside the file and of the size its
// level needs. On failure returns false and says why in `error`.
bool parseKtx2(const std::vector<std::uint8_t>& bytes, Ktx2File& file, std::string& error);

// The largest side parseKtx2 accepts; larger textures are refused rather than allocated.
constexpr int maximumKtx2Side = 65536;

} // namespace etc

#endif
