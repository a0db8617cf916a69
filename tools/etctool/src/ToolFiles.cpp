#include "ToolFiles.h"

#include "AtomicFile.h"
#include "Pkm.h"
#include "PngIo.h"

#include <cstring>
#include <utility>

namespace etctool {

namespace {

bool hasPkmMagic(const std::vector<std::uint8_t>& bytes)
{
    return bytes.size() >= 4 && std::memcmp(bytes.data(), "PKM ", 4) == 0;
}

bool parseCompressed(const std::vector<std::uint8_t>& bytes, CompressedTexture& compressed, std::string& why)
{
    compressed.isKtx2 = etc::hasKtx2Identifier(bytes);
    if (compressed.isKtx2)
        return etc::parseKtx2(bytes, compressed.texture, why);
    etc::PkmFile pkm;
    if (!etc::parsePkm(bytes, pkm, why))
        return false;
    compressed.texture = {pkm.format, pkm.width, pkm.height, {std::move(pkm.payload)}};
    return true;
}

etc::DecodedImage decodeBaseLevel(const etc::Ktx2File& texture)
{
    return etc::decodeImage(texture.levels[0].data(), texture.format, texture.width, texture.height);
}

} // namespace

bool readCompressed(const std::string& path, CompressedTexture& compressed, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!imageio::readWholeFile(path, bytes, error))
        return false;
    std::string why;
    if (!parseCompressed(bytes, compressed, why)) {
        error = imageio::readFailure(path, why);
        return false;
    }
    return true;
}

bool loadImage(const std::string& path, etc::Image& image, std::string& error, CompressedSource* source)
{
    std::vector<std::uint8_t> bytes;
    if (!imageio::readWholeFile(path, bytes, error))
        return false;
    if (!hasPkmMagic(bytes) && !etc::hasKtx2Identifier(bytes)) {
        std::string why;
        if (!imageio::decodePng(bytes, image, why)) {
            error = imageio::readFailure(path, why);
            return false;
        }
        return true;
    }
    CompressedTexture compressed;
    std::string why;
    if (!parseCompressed(bytes, compressed, why)) {
        error = imageio::readFailure(path, why);
        return false;
    }
    etc::DecodedImage decoded = decodeBaseLevel(compressed.texture);
    image = decoded.rgba;
    if (source != nullptr)
        *source = {true, compressed.texture.format, std::move(decoded)};
    return true;
}

bool parseFormat(const std::string& name, const etc::FormatInfo*& format, std::string& error)
{
    format = etc::findFormatByToolName(name);
    if (format == nullptr)
        error = "unknown format '" + name + "'; the formats are " + formatNameList();
    return format != nullptr;
}

bool parseEffort(const std::string& name, etc::Effort& effort, std::string& error)
{
    const etc::Effort* known = etc::findEffortByName(name);
    if (known == nullptr) {
        error = "unknown effort '" + name + "'; the efforts are " + effortNameList();
        return false;
    }
    effort = *known;
    return true;
}

std::string effortNameList()
{
    std::string list;
    for (const auto& effort : etc::allEfforts())
        list += (list.empty() ? "" : ", ") + std::string(effort.second);
    return list;
}

std::string formatNameList()
{
    std::string list;
    for (const etc::FormatInfo& info : etc::allFormats())
        list += (list.empty() ? "" : ", ") + std::string(info.toolName);
    return list;
}

} // namespace etctool
