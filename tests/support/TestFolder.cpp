#include "TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

TestFolder::TestFolder()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::string(KORVO_BUILD_ROOT) + "/test-scratch/" + test->test_suite_name() + "." + test->name();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
}

TestFolder::~TestFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::string TestFolder::write(const std::string& name, const std::string& bytes) const
{
    std::string file = pathOf(name);
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << "cannot write " << file;
    return file;
}
