#ifndef ETCTOOL_COMMAND_LINE_H
#define ETCTOOL_COMMAND_LINE_H

#include <map>
#include <string>
#include <vector>

namespace etctool {

// Exit statuses: 0 done, 1 a file or its data failed, 2 the command line was wrong.
constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

struct OptionSpec {
    const char* name; // "--effort"
    bool takesValue;
};

struct Arguments {
    std::string command; // the subcommand's name, for usage hints
    std::vector<std::string> positional;
    std::map<std::string, std::string> options; // flags map to ""
    bool help = false;

    bool has(const std::string& option) const { return options.count(option) != 0; }
    std::string value(const std::string& option, const std::string& fallback) const;
};

// Splits argv[first..] into positional arguments and the options in `specs`
// ("--name value" or "--name=value"; a one-letter option also as "-j 4" or "-j4"); "-h" and
// "--help" set `help`; "-" alone is positional (standard input or output). "--" ends the options.
bool parseArguments(int argc, char** argv, int first, const std::vector<OptionSpec>& specs, Arguments& arguments,
                    std::string& error);

// "Error: " and the message on standard error; returns `status` for the caller to exit with.
int reportError(const std::string& message, int status = exitFailure);

// A wrong command line: the message and the hint to run "etctool COMMAND --help" (or
// "etctool --help" without a command) on one "Error: " line; returns exitUsage.
int usageError(const std::string& command, const std::string& message);
int usageError(const Arguments& arguments, const std::string& message);

} // namespace etctool

#endif
