#include "Shader.h"

#include "Diagnostics.h"
#include "ErrorChecks.h"
#include "RegularFile.h"

#include <cstdio>
#include <cstdlib>

namespace KorvoSDK {
namespace Shader {

namespace {

// Reads back a text whose length the GL reports through lengthQuery. The extra byte keeps a length of
// 0 an empty string rather than an unterminated buffer.
// glGetShaderSource and glGetShaderInfoLog share this signature.
using ShaderTextGetter = decltype(&glGetShaderSource);

char* queryShaderText(GLuint shader, GLenum lengthQuery, ShaderTextGetter fetch)
{
    GLint length = 0;
    glGetShaderiv(shader, lengthQuery, &length);
    checkGl();
    if (length < 0)
        length = 0;
    char* text = static_cast<char*>(calloc(static_cast<size_t>(length) + 1, 1));
    checkAllocation(text);
    fetch(shader, length, nullptr, text);
    checkGl();
    return text;
}

[[noreturn]] void exitWithCompilationDump(GLuint shader)
{
    char* source = queryShaderText(shader, GL_SHADER_SOURCE_LENGTH, glGetShaderSource);
    logError("Debug source START:\n%s\nDebug source END\n\n", source);
    free(source);

    char* log = queryShaderText(shader, GL_INFO_LOG_LENGTH, glGetShaderInfoLog);
    logError("Log START:\n%s\nLog END\n\n", log);
    free(log);

    logError("Compilation FAILED!\n\n");
    exit(1);
}

} // namespace

char* readSourceFile(const char* filename)
{
    FILE* file = openRegularFile(filename);
    if (file == nullptr) {
        logError("Cannot read file '%s'\n", filename);
        exit(1);
    }
    fseek(file, 0, SEEK_END);
    const long length = ftell(file);
    if (length < 0) {
        // Not a seekable file: there is no length to read.
        logError("Cannot read file '%s'\n", filename);
        exit(1);
    }
    fseek(file, 0, SEEK_SET);

    char* source = static_cast<char*>(calloc(static_cast<size_t>(length) + 1, 1));
    checkAllocation(source);

    const size_t bytesRead = fread(source, 1, static_cast<size_t>(length), file);
    if (bytesRead != static_cast<size_t>(length)) {
        logError("Error reading %s (read %d of %d)", filename, static_cast<int>(bytesRead), static_cast<int>(length));
        exit(1);
    }
    source[length] = '\0';
    fclose(file);
    return source;
}

void compileFromFile(GLuint* shader, const char* filename, GLenum shaderType)
{
    *shader = glCreateShader(shaderType);
    checkGl();

    char* source = readSourceFile(filename);
    const char* sources[] = {source};
    glShaderSource(*shader, 1, sources, nullptr);
    checkGl();
    free(source);

    glCompileShader(*shader);
    checkGl();

    GLint status = GL_FALSE;
    glGetShaderiv(*shader, GL_COMPILE_STATUS, &status);
    checkGl();
    if (status != GL_TRUE)
        exitWithCompilationDump(*shader);
}

GLuint createLinkedProgram(GLuint vertexShaderId, GLuint fragmentShaderId)
{
    const GLuint programId = glCreateProgram();
    checkGl();
    if (programId == 0)
        return 0;
    glAttachShader(programId, vertexShaderId);
    checkGl();
    glAttachShader(programId, fragmentShaderId);
    checkGl();
    glLinkProgram(programId);
    checkGl();
    return programId;
}

} // namespace Shader
} // namespace KorvoSDK
