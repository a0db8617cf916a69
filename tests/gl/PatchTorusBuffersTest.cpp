#include "InstancedSolidTorus.h"
#include "PatchTorusFixture.h"
#include "PrecisionReference.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

const char* const withoutIndexBlock = R"(#version 300 es
in vec2 patchUVPosition;
layout(std140) uniform ControlPointsVertices { vec4 controlPoints[144]; };
void main() { gl_Position = controlPoints[gl_InstanceID] + vec4(patchUVPosition, 0.0, 0.0); }
)";

const char* const withoutControlNetBlock = R"(#version 300 es
in vec2 patchUVPosition;
layout(std140) uniform ControlPointsIndices { uvec4 patchRows[64]; };
void main() { gl_Position = vec4(vec2(patchRows[gl_InstanceID].xy), patchUVPosition); }
)";

GLuint bufferAtBindingPoint(GLuint bindingPoint)
{
    GLint name = 0;
    glGetIntegeri_v(GL_UNIFORM_BUFFER_BINDING, bindingPoint, &name);
    return static_cast<GLuint>(name);
}

GLint bufferSize(GLuint buffer)
{
    GLint size = 0;
    glBindBuffer(GL_UNIFORM_BUFFER, buffer);
    glGetBufferParameteriv(GL_UNIFORM_BUFFER, GL_BUFFER_SIZE, &size);
    return size;
}

std::vector<std::uint8_t> bufferContents(GLuint buffer, GLint size)
{
    glBindBuffer(GL_UNIFORM_BUFFER, buffer);
    const auto* mapped =
        static_cast<const std::uint8_t*>(glMapBufferRange(GL_UNIFORM_BUFFER, 0, size, GL_MAP_READ_BIT));
    if (mapped == nullptr)
        return {};
    std::vector<std::uint8_t> bytes(mapped, mapped + size);
    glUnmapBuffer(GL_UNIFORM_BUFFER);
    return bytes;
}

template <typename T>
std::vector<std::uint8_t> bytesOf(const std::vector<T>& values)
{
    std::vector<std::uint8_t> bytes(values.size() * sizeof(T));
    std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

GLint blockParameter(GLuint program, const char* block, GLenum parameter)
{
    const GLuint index = glGetUniformBlockIndex(program, block);
    EXPECT_NE(index, GL_INVALID_INDEX) << block;
    GLint value = -1;
    glGetActiveUniformBlockiv(program, index, parameter, &value);
    return value;
}

} // namespace

using PatchTorusBuffers = PatchTorusGl;

TEST_F(PatchTorusBuffers, ControlNetAndIndexTableSitInTheirUniformBuffers)
{
    InstancedSolidTorus solid(1.0f, 0.4f);
    const GLuint program = currentProgram();

    const GLuint indicesBuffer = bufferAtBindingPoint(0);
    const GLuint netBuffer = bufferAtBindingPoint(1);
    ASSERT_NE(indicesBuffer, 0u);
    ASSERT_NE(netBuffer, 0u);
    EXPECT_NE(indicesBuffer, netBuffer);
    EXPECT_EQ(bufferSize(indicesBuffer), 1024);
    EXPECT_EQ(bufferSize(netBuffer), 2304);

    // Patch 4c + m takes rows 3m..3m+3 and columns 3c..3c+3 of the 12 x 12 net, wrapping round.
    std::vector<std::uint32_t> indices;
    for (unsigned c = 0; c < 4; ++c)
        for (unsigned m = 0; m < 4; ++m)
            for (unsigned a = 0; a < 4; ++a)
                for (unsigned b = 0; b < 4; ++b)
                    indices.push_back(12 * ((3 * m + a) % 12) + (3 * c + b) % 12);
    EXPECT_EQ(bufferContents(indicesBuffer, 1024), bytesOf(indices));
    // The net as worked out from its formulas by the reference script.
    EXPECT_EQ(bufferContents(netBuffer, 2304), bytesOf(precisionReference("control-points")));

    // The shader's blocks take the data exactly as uploaded, at the points it is bound to.
    EXPECT_EQ(blockParameter(program, "ControlPointsIndices", GL_UNIFORM_BLOCK_BINDING), 0);
    EXPECT_EQ(blockParameter(program, "ControlPointsVertices", GL_UNIFORM_BLOCK_BINDING), 1);
    EXPECT_EQ(blockParameter(program, "ControlPointsIndices", GL_UNIFORM_BLOCK_DATA_SIZE), 1024);
    EXPECT_EQ(blockParameter(program, "ControlPointsVertices", GL_UNIFORM_BLOCK_DATA_SIZE), 2304);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PatchTorusBuffers, ProgramWithoutIndexBlockStillGetsTheControlNet)
{
    useShaders("PatchTorus_Instanced_shader", withoutIndexBlock);
    testing::internal::CaptureStderr();
    InstancedSolidTorus solid(1.0f, 0.4f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    EXPECT_EQ(bufferAtBindingPoint(0), 0u);
    const GLuint netBuffer = bufferAtBindingPoint(1);
    ASSERT_NE(netBuffer, 0u);
    EXPECT_EQ(bufferSize(netBuffer), 2304);
    EXPECT_EQ(blockParameter(currentProgram(), "ControlPointsVertices", GL_UNIFORM_BLOCK_BINDING), 1);
}

TEST_F(PatchTorusBuffers, ProgramWithoutControlNetBlockGetsNoSecondBuffer)
{
    useShaders("PatchTorus_Instanced_shader", withoutControlNetBlock);
    testing::internal::CaptureStderr();
    InstancedSolidTorus solid(1.0f, 0.4f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    EXPECT_EQ(bufferAtBindingPoint(1), 0u);
    const GLuint indicesBuffer = bufferAtBindingPoint(0);
    ASSERT_NE(indicesBuffer, 0u);
    EXPECT_EQ(bufferSize(indicesBuffer), 1024);
}
