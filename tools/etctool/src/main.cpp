// etctool: compresses images into ETC1 / ETC2 / EAC PKM files and back, and prepares the
// planes (mipmaps, alpha, atlases, greymaps) that textures are made of.

#include "Command.h"

#include <cstdio>
#include <string>

using namespace etctool;

namespace {

void printOverview()
{
    std::printf("Usage: etctool COMMAND [arguments] [options]\n\nCommands:\n");
    for (const Command& command : allCommands())
        std::printf("  %-12s %s\n", command.name, command.summary);
    std::printf("\nRun 'etctool COMMAND --help' for the arguments and options of one command.\n"
                "A file named - is standard input or standard output.\n"
                "Exit status: 0 done, 1 a file could not be read or written, 2 wrong arguments.\n"
                "Options: --help, --version.\n");
}

const Command* findCommand(const std::string& name)
{
    for (const Command& command : allCommands())
        if (name == command.name)
            return &command;
    return nullptr;
}

int unknownCommand(const std::string& name) { return usageError("", "unknown command '" + name + "'"); }

int printHelp(const char* text)
{
    return std::fputs(text, stdout) == EOF ? reportError("cannot write the help text") : 0;
}

int runCommand(const Command& command, int argc, char** argv)
{
    Arguments arguments;
    arguments.command = command.name;
    std::string error;
    if (!parseArguments(argc, argv, 2, command.options, arguments, error))
        return usageError(arguments, std::string(command.name) + ": " + error);
    if (arguments.help)
        return printHelp(command.help);
    if (arguments.positional.size() != command.fileCount)
        return usageError(arguments,
                          std::string(command.name) + " takes " + std::to_string(command.fileCount) +
                              " file argument(s), got " + std::to_string(arguments.positional.size()));
    return command.run(arguments);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        printOverview();
        return usageError("", "no command given");
    }
    const std::string name = argv[1];
    if (name == "--version")
        return std::printf("%s\n", versionLine.c_str()) < 0 ? reportError("cannot write the version") : 0;
    if (name == "--help" || name == "-h") {
        printOverview();
        return 0;
    }
    if (name == "help") {
        if (argc < 3) {
            printOverview();
            return 0;
        }
        const Command* command = findCommand(argv[2]);
        if (command == nullptr)
            return unknownCommand(argv[2]);
        return printHelp(command->help);
    }
    const Command* command = findCommand(name);
    if (command == nullptr)
        return unknownCommand(name);
    return runCommand(*command, argc, argv);
}
