#ifndef TOOL_ARGUMENTS_TOOL_VERSION_H
#define TOOL_ARGUMENTS_TOOL_VERSION_H

#include <string>

namespace toolargs {

// "etctool 1.1": the tool's name and the project's version, for --version and file metadata.
std::string versionLine(const std::string& tool);

} // namespace toolargs

#endif
