#include "Command.h"

#include "CompressionCommands.h"
#include "PlaneCommands.h"
#include "ToolVersion.h"

namespace etctool {

const std::string versionLine = toolargs::versionLine("etctool");

const std::vector<Command>& allCommands()
{
    static const std::vector<Command> commands = [] {
        std::vector<Command> all;
        addCompressionCommands(all);
        addPlaneCommands(all);
        return all;
    }();
    return commands;
}

} // namespace etctool
