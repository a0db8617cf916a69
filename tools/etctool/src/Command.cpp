#include "Command.h"

#include "CompressionCommands.h"
#include "PlaneCommands.h"

namespace etctool {

const char* const versionLine = "etctool 1.1";

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
