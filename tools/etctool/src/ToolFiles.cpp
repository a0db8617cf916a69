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

} // namespace

bool loadImage(const std::string& path, etc::Image& image, std::string& error, CompressedSource* source)
{
    std::vector<std::uint8_t> bytes;
    if (!imageio::readWholeFile(path, bytes, error))
        return false;
    if (!hasPkmMagic(bytes))
        return imageio::readPng(path, image, error);
    etc::PkmFile pkm;
    std::string why;
    if (!etc::parsePkm(bytes, pkm, why)) {
        error = imageio::readFailure(path, why);
        return false;
    }
    etc::DecodedImage decoded = etc::decodeImage(pkm.payload.data(), pkm.format, pkm.width, pkm.height);
    image = decoded.rgba;
    if (source != nullptr)
        *source = {true, pkm.format, std::move(decoded)};
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
