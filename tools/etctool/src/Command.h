#ifndef ETCTOOL_COMMAND_H
#define ETCTOOL_COMMAND_H

#include "CommandLine.h"

#include <string>
#include <vector>

namespace etctool {

struct Command {
    const char* name;
    const char* summary; // one line for the overview
    const char* help;    // everything "etctool <name> --help" prints
    std::vector<OptionSpec> options;
    std::size_t fileCount; // positional file arguments the command takes
    int (*run)(const Arguments& arguments);
};

// "etctool X.Y": what --version prints and the KTXwriter of the KTX2 files the tool writes.
extern const std::string versionLine;

// Every subcommand, in the order the overview lists them.
const std::vector<Command>& allCommands();

} // namespace etctool

#endif
