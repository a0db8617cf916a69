#include "CommandLine.h"

#include <cstdio>

namespace etctool {

std::string Arguments::value(const std::string& option, const std::string& fallback) const
{
    auto found = options.find(option);
    return found == options.end() ? fallback : found->second;
}

namespace {

const OptionSpec* findSpec(const std::vector<OptionSpec>& specs, const std::string& name)
{
    for (const OptionSpec& spec : specs)
        if (name == spec.name)
            return &spec;
    return nullptr;
}

// "-j4": a one-letter option that takes a value, written together with it.
bool splitJoinedShortOption(const std::vector<OptionSpec>& specs, const std::string& argument, std::string& name,
                            std::string& value)
{
    if (argument.size() <= 2 || argument[1] == '-')
        return false;
    const OptionSpec* spec = findSpec(specs, argument.substr(0, 2));
    if (spec == nullptr || !spec->takesValue)
        return false;
    name = spec->name;
    value = argument.substr(2);
    return true;
}

} // namespace

bool parseArguments(int argc, char** argv, int first, const std::vector<OptionSpec>& specs, Arguments& arguments,
                    std::string& error)
{
    bool optionsEnded = false;
    for (int i = first; i < argc; ++i) {
        std::string argument = argv[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            arguments.positional.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "-h" || argument == "--help") {
            arguments.help = true;
            continue;
        }
        std::string name = argument;
        std::string value;
        bool inlineValue = splitJoinedShortOption(specs, argument, name, value);
        if (std::size_t equals = argument.find('='); !inlineValue && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            inlineValue = true;
        }
        const OptionSpec* spec = findSpec(specs, name);
        if (spec == nullptr) {
            error = "unknown option '" + name + "'";
            return false;
        }
        if (spec->takesValue && !inlineValue) {
            if (i + 1 >= argc) {
                error = "option '" + name + "' needs a value";
                return false;
            }
            value = argv[++i];
        } else if (!spec->takesValue && inlineValue) {
            error = "option '" + name + "' takes no value";
            return false;
        }
        arguments.options[name] = value;
    }
    return true;
}

int reportError(const std::string& message, int status)
{
    std::fprintf(stderr, "Error: %s\n", message.c_str());
    return status;
}

int usageError(const std::string& command, const std::string& message)
{
    const std::string help = command.empty() ? "etctool --help" : "etctool " + command + " --help";
    return reportError(message + "; run '" + help + "' for usage", exitUsage);
}

int usageError(const Arguments& arguments, const std::string& message)
{
    return usageError(arguments.command, message);
}

} // namespace etctool
