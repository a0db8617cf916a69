#include "PrecisionReference.h"

#include <fstream>
#include <map>

const std::vector<std::uint32_t>& precisionReference(const std::string& name)
{
    static const std::map<std::string, std::vector<std::uint32_t>> values = [] {
        std::map<std::string, std::vector<std::uint32_t>> read;
        std::ifstream in(std::string(KORVO_SOURCE_ROOT) + "/tests/data/precision_reference.txt");
        std::string set;
        size_t index = 0;
        std::string hex;
        while (in >> set >> index >> hex) {
            std::vector<std::uint32_t>& list = read[set];
            list.resize(index + 1);
            list[index] = static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
        }
        return read;
    }();
    static const std::vector<std::uint32_t> none;
    const auto found = values.find(name);
    return found != values.end() ? found->second : none;
}
