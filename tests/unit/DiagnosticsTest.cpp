#include "Diagnostics.h"
#include "ErrorChecks.h"

#include <EGL/egl.h>
#include <gtest/gtest.h>

using namespace KorvoSDK;

namespace {

std::string capturedLine(void (*write)())
{
    testing::internal::CaptureStderr();
    write();
    return testing::internal::GetCapturedStderr();
}

} // namespace

TEST(Diagnostics, LogLineAppendsANewline)
{
    EXPECT_EQ(capturedLine([] { logLine("abc"); }), "abc\n");
    EXPECT_EQ(capturedLine([] { logLine("%d-%s", 7, "x"); }), "7-x\n");
}

TEST(Diagnostics, FormatsEndingInNewlineAreFollowedByAnEmptyLine)
{
    EXPECT_EQ(capturedLine([] { logLine("abc\n"); }), "abc\n\n");
    EXPECT_EQ(capturedLine([] { logLine("\n"); }), "\n\n");
}

TEST(Diagnostics, LogErrorPrefixesError)
{
    EXPECT_EQ(capturedLine([] { logError("abc"); }), "Error: abc\n");
    EXPECT_EQ(capturedLine([] { logError("Failed to open '%s'\n", "a.pkm"); }), "Error: Failed to open 'a.pkm'\n\n");
}

TEST(DiagnosticsDeathTest, FailedAllocationNamesTheCheckAndExitsWithOne)
{
    const int line = __LINE__ + 1;
    EXPECT_EXIT(checkAllocation(static_cast<void*>(nullptr)), testing::ExitedWithCode(1),
                "^Error: Out of memory at .*DiagnosticsTest\\.cpp:" + std::to_string(line) + "\n\n$");
}

TEST(Diagnostics, SuccessfulAllocationPassesSilently)
{
    int value = 0;
    EXPECT_EQ(capturedLine([] {
                  static int v;
                  checkAllocation(&v);
              }),
              "");
    (void)value;
}

TEST(DiagnosticsDeathTest, CheckEglPrintsTheCodeInDecimalAndHexWithTheLocation)
{
    auto failWithBadDisplay = [] {
        eglInitialize(EGL_NO_DISPLAY, nullptr, nullptr); // raises EGL_BAD_DISPLAY
        checkEglAt("some/file.cpp", 42);
    };
    EXPECT_EXIT(failWithBadDisplay(), testing::ExitedWithCode(1),
                "^Error: eglGetError\\(\\) = 12296 \\(0x00003008\\) at some/file\\.cpp:42\n\n$");
}

TEST(Diagnostics, CheckEglIsSilentAfterSuccess)
{
    eglGetError(); // clears whatever an earlier call left
    EXPECT_EQ(capturedLine([] { checkEglAt("f", 1); }), "");
}
