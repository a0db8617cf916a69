#include "Ktx2Io.h"

#include "AtomicFile.h"

namespace imageio {

bool readKtx2(const std::string& path, etc::Ktx2File& file, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes, error))
        return false;
    std::string reason;
    if (!etc::parseKtx2(bytes, file, reason)) {
        error = readFailure(path, reason);
        return false;
    }
    return true;
}

bool writeKtx2(const std::string& path, const etc::Ktx2File& file, const std::string& writer, std::string& error)
{
    std::string reason;
    if (!etc::checkSerializable(file, reason)) {
        error = writeFailure(path, reason);
        return false;
    }
    return writeFileAtomically(path, etc::serializeKtx2(file, writer), error);
}

} // namespace imageio
