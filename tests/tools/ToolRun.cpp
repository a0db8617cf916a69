#include "ToolRun.h"

#include "TestProcess.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

ToolRun runThroughShell(const std::string& executable, const std::vector<std::string>& arguments,
                        const std::string& inputFile, const std::string& scratchFolder)
{
    // TestProcess keeps standard error; the shell sends standard output to a file beside it
    // and, given one, reads standard input from a file.
    const std::string outputFile = scratchFolder + "/.stdout";
    const std::string script =
        R"(out="$1"; in="$2"; shift 2; if [ -n "$in" ]; then exec < "$in"; fi; exec "$@" > "$out")";
    TestProcess::Options options;
    options.executable = "/bin/sh";
    options.arguments = {"-c", script, "sh", outputFile, inputFile, executable};
    options.arguments.insert(options.arguments.end(), arguments.begin(), arguments.end());
    options.workingDirectory = scratchFolder;
    ToolRun run;
    run.status = runToCompletion(options, run.standardError, 60);
    run.standardOutput = fileBytes(outputFile);
    std::filesystem::remove(outputFile);
    return run;
}

} // namespace

ToolRun runTool(const std::string& tool, const std::vector<std::string>& arguments, const std::string& scratchFolder)
{
    return runThroughShell(buildPath(tool), arguments, "", scratchFolder);
}

ToolRun runToolWithInput(const std::string& tool, const std::vector<std::string>& arguments,
                         const std::string& inputFile, const std::string& scratchFolder)
{
    return runThroughShell(buildPath(tool), arguments, inputFile, scratchFolder);
}

ToolRun runProgram(const std::string& executable, const std::vector<std::string>& arguments,
                   const std::string& scratchFolder)
{
    return runThroughShell(executable, arguments, "", scratchFolder);
}

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool fileExists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
