#ifndef ETCTOOL_PLANE_COMMANDS_H
#define ETCTOOL_PLANE_COMMANDS_H

#include "Command.h"

namespace etctool {

// compare, split-alpha, atlas and pgm: the commands that work on uncompressed planes.
void addPlaneCommands(std::vector<Command>& commands);

} // namespace etctool

#endif
