#ifndef ETCTOOL_COMPRESSION_COMMANDS_H
#define ETCTOOL_COMPRESSION_COMMANDS_H

#include "Command.h"

namespace etctool {

// encode, decode, info and mipmap: the commands that make or read PKM files.
void addCompressionCommands(std::vector<Command>& commands);

} // namespace etctool

#endif
