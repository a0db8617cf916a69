#include "PkmIo.h"

#include "AtomicFile.h"

namespace imageio {

bool readPkm(const std::string& path, etc::PkmFile& file, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes, error))
        return false;
    std::string reason;
    if (!etc::parsePkm(bytes, file, reason)) {
        error = readFailure(path, reason);
        return false;
    }
    return true;
}

bool writePkm(const std::string& path, const etc::PkmFile& file, std::string& error)
{
    return writePkmChain({path}, {file}, error);
}

bool writePkmChain(const std::vector<std::string>& levelPaths, const std::vector<etc::PkmFile>& levels,
                   std::string& error)
{
    std::vector<OutputFile> outputs(levels.size());
    for (std::size_t level = 0; level < levels.size(); ++level) {
        std::string reason;
        if (!etc::checkSerializable(levels[level], reason)) {
            error = writeFailure(levelPaths[level], reason);
            return false;
        }
        if (!outputs[level].open(levelPaths[level], error) ||
            !outputs[level].write(etc::serializePkm(levels[level]), error))
            return false;
    }
    return commitAll(outputs, error);
}

} // namespace imageio
