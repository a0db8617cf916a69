#ifndef TEST_PATCH_TORUS_FIXTURE_H
#define TEST_PATCH_TORUS_FIXTURE_H

#include "OffscreenContext.h"
#include "TestFolder.h"

#include <GLES3/gl3.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A GL context of the program's window size with the models reading the program's own
// shaders, or test shaders written into a scratch folder.
class PatchTorusGl : public testing::Test {
protected:
    static constexpr int width = 800;
    static constexpr int height = 600;

    void SetUp() override;
    void TearDown() override;

    // Points the models at a folder holding `baseName`.vert with this text and a
    // fragment shader that writes "color".
    void useShaders(const std::string& baseName, const std::string& vertexShader);

    OffscreenContext context{width, height};
    TestFolder folder;
};

// The program the last model construction left in use: its own.
GLuint currentProgram();

// Primitives that the draw calls made by `draw` sent to the GL, by their modes and counts.
GLuint primitivesGenerated(const std::function<void()>& draw);

// The framebuffer as RGBA, rows from the bottom.
std::vector<std::uint8_t> readFramebuffer(int width, int height);

#endif
