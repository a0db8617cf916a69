#ifndef TEST_FOLDER_H
#define TEST_FOLDER_H

#include <string>

// A scratch folder under the build tree named after the running test, emptied when made and
// removed on destruction. Its name is fixed per test, so a death test's child, which runs
// the test body again, works on the same files, and nothing of the child (which ends with
// exit and runs no destructors) is left behind.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& path() const { return folder; }
    std::string pathOf(const std::string& name) const { return folder + "/" + name; }
    // Writes the bytes to a file of that name and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string folder;
};

#endif
