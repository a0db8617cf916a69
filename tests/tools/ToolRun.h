#ifndef TEST_TOOL_RUN_H
#define TEST_TOOL_RUN_H

#include <string>
#include <vector>

// A command-line tool of the build run to completion, with both output streams kept.
struct ToolRun {
    int status = -1;
    std::string standardOutput;
    std::string standardError;
};

// `tool` is relative to the build tree ("tools/etctool/etctool").
ToolRun runTool(const std::string& tool, const std::vector<std::string>& arguments, const std::string& scratchFolder);

// As runTool, with standard input read from `inputFile` (relative to the scratch folder).
ToolRun runToolWithInput(const std::string& tool, const std::vector<std::string>& arguments,
                         const std::string& inputFile, const std::string& scratchFolder);

// Any program, by its path.
ToolRun runProgram(const std::string& executable, const std::vector<std::string>& arguments,
                   const std::string& scratchFolder);

// Bytes of a file, or "" if it cannot be read.
std::string fileBytes(const std::string& path);

bool fileExists(const std::string& path);

// Names in a folder, sorted.
std::vector<std::string> folderEntries(const std::string& folder);

#endif
