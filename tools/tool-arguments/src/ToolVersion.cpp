#include "ToolVersion.h"

namespace toolargs {

std::string versionLine(const std::string& tool) { return tool + " " + KORVO_VERSION; }

} // namespace toolargs
