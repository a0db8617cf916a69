/* Preloaded into a program under test (LD_PRELOAD) to provoke EGL, GL and allocation failures
 * for real and to record what the program asks of EGL, GL and Xlib. Every hook forwards to the
 * next definition of its name (dlsym RTLD_NEXT), so with GLVND the call still reaches the
 * vendor library. Driven by the environment:
 *
 *   KORVO_SHIM_FAIL     comma-separated faults "call[:n][@after]": the n-th call (default 1, "all"
 *                       for every one) of `call`, counted from the first return of `after` if given, fails:
 *                       EGL calls return their failure value (and eglGetError then reports a
 *                       fitting code once), glGetError returns GL_INVALID_OPERATION, malloc and
 *                       calloc (main thread only) return null, fread reads half of what it
 *                       was asked for, glCreateProgram returns 0, and glGetShaderiv reports an
 *                       info log of length 0.
 *   KORVO_SHIM_CONFIGS  comma-separated edits of the configuration lists that eglChooseConfig
 *                       and eglGetConfigs hand out: "reverse", "count=N", and
 *                       "<index>:<attribute>=<value>" (attribute in hexadecimal) which changes
 *                       what eglGetConfigAttrib reports for the configuration at that index.
 *   KORVO_SHIM_NO_COMPRESSED_FORMATS  the GL reports no compressed texture formats.
 *   KORVO_SHIM_PAUSE    seconds to sleep in the first eglMakeCurrent, that is before the program's
 *                       set-up, as a slow set-up would.
 *   KORVO_SHIM_CRASH_ON_LOSS  a signal number: the third eglSwapBuffers shuts the program's X
 *                       connection down and raises that signal at once, as a driver that faults on
 *                       a dead connection would, before anything else can notice the loss.
 *   KORVO_SHIM_TRACE    file that receives one line per hooked call, as "name(arguments) = result".
 *                       Configurations are named "#index" by their place in the last list handed
 *                       out, uniforms by their name.
 */
#define _GNU_SOURCE
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES3/gl3.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#define EXPORT __attribute__((visibility("default")))
#define MAX_FAULTS 8
#define MAX_EDITS 16
#define MAX_CONFIGS 512
#define MAX_UNIFORMS 128

struct Fault {
    char call[64];
    char after[64];
    int nth;
    int seen;
};

struct AttributeEdit {
    int index;
    EGLint attribute;
    EGLint value;
};

struct UniformName {
    GLuint program;
    GLint location;
    char name[64];
};

static int ready;
static struct Fault faults[MAX_FAULTS];
static int faultCount;
static char passedCalls[32][64];
static int passedCount;
static struct AttributeEdit edits[MAX_EDITS];
static int editCount;
static int reverseConfigs;
static int configLimit = -1;
static int noCompressedFormats;
static double pauseSeconds;
static FILE* trace;
static EGLConfig handedOut[MAX_CONFIGS];
static int handedOutCount;
static EGLint pendingEglError;
static struct UniformName uniforms[MAX_UNIFORMS];
static int uniformCount;
static GLuint currentProgram;
static int crashSignal;
static Display* connection;

static int onMainThread(void);

static void* nextOf(const char* name)
{
    void* function = dlsym(RTLD_NEXT, name);
    if (function == NULL) {
        fprintf(stderr, "fault shim: no next definition of %s\n", name);
        abort();
    }
    return function;
}

#define NEXT(name)                                                                                                     \
    static __typeof__(&(name)) next_##name;                                                                            \
    if (next_##name == NULL)                                                                                           \
    next_##name = (__typeof__(&(name)))nextOf(#name)

static void parseFaults(const char* text)
{
    char copy[512];
    snprintf(copy, sizeof copy, "%s", text);
    for (char *save = NULL, *item = strtok_r(copy, ",", &save); item != NULL && faultCount < MAX_FAULTS;
         item = strtok_r(NULL, ",", &save)) {
        struct Fault* fault = &faults[faultCount++];
        char* after = strchr(item, '@');
        if (after != NULL) {
            *after = '\0';
            snprintf(fault->after, sizeof fault->after, "%s", after + 1);
        }
        char* nth = strchr(item, ':');
        fault->nth = 1;
        if (nth != NULL) {
            *nth = '\0';
            fault->nth = strcmp(nth + 1, "all") == 0 ? 0 : atoi(nth + 1);
        }
        snprintf(fault->call, sizeof fault->call, "%s", item);
    }
}

static void parseConfigEdits(const char* text)
{
    char copy[512];
    snprintf(copy, sizeof copy, "%s", text);
    for (char *save = NULL, *item = strtok_r(copy, ",", &save); item != NULL; item = strtok_r(NULL, ",", &save)) {
        int index = 0;
        unsigned attribute = 0;
        int value = 0;
        if (strcmp(item, "reverse") == 0)
            reverseConfigs = 1;
        else if (sscanf(item, "count=%d", &configLimit) == 1)
            continue;
        else if (sscanf(item, "%d:%x=%d", &index, &attribute, &value) == 3 && editCount < MAX_EDITS)
            edits[editCount++] = (struct AttributeEdit){index, (EGLint)attribute, value};
    }
}

/* Runs when the library is loaded, before the program's own static initialisation. */
__attribute__((constructor)) static void setUp(void)
{
    const char* text = getenv("KORVO_SHIM_FAIL");
    if (text != NULL)
        parseFaults(text);
    text = getenv("KORVO_SHIM_CONFIGS");
    if (text != NULL)
        parseConfigEdits(text);
    noCompressedFormats = getenv("KORVO_SHIM_NO_COMPRESSED_FORMATS") != NULL;
    text = getenv("KORVO_SHIM_CRASH_ON_LOSS");
    if (text != NULL)
        crashSignal = atoi(text);
    text = getenv("KORVO_SHIM_PAUSE");
    if (text != NULL)
        pauseSeconds = atof(text);
    text = getenv("KORVO_SHIM_TRACE");
    if (text != NULL) {
        trace = fopen(text, "w");
        static char buffer[BUFSIZ];
        if (trace != NULL)
            setvbuf(trace, buffer, _IOLBF, sizeof buffer);
    }
    ready = 1;
}

static void record(const char* format, ...)
{
    if (trace == NULL)
        return;
    va_list arguments;
    va_start(arguments, format);
    vfprintf(trace, format, arguments);
    va_end(arguments);
    fputc('\n', trace);
}

static int hasPassed(const char* call)
{
    for (int i = 0; i < passedCount; ++i)
        if (strcmp(passedCalls[i], call) == 0)
            return 1;
    return 0;
}

/* Marks a call as returned, for the faults counted from it. */
static void passed(const char* call)
{
    if (passedCount < 32 && !hasPassed(call))
        snprintf(passedCalls[passedCount++], sizeof passedCalls[0], "%s", call);
}

/* Whether this call of `call` is one that must fail. */
static int shouldFail(const char* call)
{
    int fail = 0;
    for (int i = 0; i < faultCount; ++i) {
        struct Fault* fault = &faults[i];
        if (strcmp(fault->call, call) != 0 || (fault->after[0] != '\0' && !hasPassed(fault->after)))
            continue;
        if (++fault->seen == fault->nth || fault->nth == 0)
            fail = 1;
    }
    return fail;
}

static int failEgl(const char* call, EGLint code)
{
    if (!shouldFail(call))
        return 0;
    pendingEglError = code;
    record("%s: failed by the shim", call);
    return 1;
}

/* Seconds on the monotonic clock, for the calls that mark a frame's start and end. */
static double now(void)
{
    struct timespec time;
    clock_gettime(CLOCK_MONOTONIC, &time);
    return (double)time.tv_sec + (double)time.tv_nsec * 1e-9;
}

static int configIndex(EGLConfig config)
{
    for (int i = 0; i < handedOutCount; ++i)
        if (handedOut[i] == config)
            return i;
    return -1;
}

/* ---- EGL ---- */

EXPORT EGLint eglGetError(void)
{
    NEXT(eglGetError);
    const EGLint real = next_eglGetError();
    if (pendingEglError == 0)
        return real;
    const EGLint code = pendingEglError;
    pendingEglError = 0;
    return code;
}

EXPORT EGLDisplay eglGetDisplay(EGLNativeDisplayType native)
{
    NEXT(eglGetDisplay);
    record("eglGetDisplay");
    if (failEgl("eglGetDisplay", EGL_BAD_DISPLAY))
        return EGL_NO_DISPLAY;
    return next_eglGetDisplay(native);
}

EXPORT EGLDisplay eglGetPlatformDisplay(EGLenum platform, void* native, const EGLAttrib* attributes)
{
    NEXT(eglGetPlatformDisplay);
    record("eglGetPlatformDisplay(0x%.4x)", platform);
    if (failEgl("eglGetDisplay", EGL_BAD_DISPLAY))
        return EGL_NO_DISPLAY;
    return next_eglGetPlatformDisplay(platform, native, attributes);
}

/* The extension's entry point is only reached through eglGetProcAddress (below). */
static PFNEGLGETPLATFORMDISPLAYEXTPROC next_eglGetPlatformDisplayEXT;

static EGLDisplay hookedGetPlatformDisplayEXT(EGLenum platform, void* native, const EGLint* attributes)
{
    record("eglGetPlatformDisplay(0x%.4x)", platform);
    if (failEgl("eglGetDisplay", EGL_BAD_DISPLAY))
        return EGL_NO_DISPLAY;
    return next_eglGetPlatformDisplayEXT(platform, native, attributes);
}

/* Functions looked up at run time would otherwise bypass the hooks of their names. */
EXPORT __eglMustCastToProperFunctionPointerType eglGetProcAddress(const char* name)
{
    NEXT(eglGetProcAddress);
    __eglMustCastToProperFunctionPointerType function = next_eglGetProcAddress(name);
    if (function == NULL || name == NULL)
        return function;
    if (strcmp(name, "eglGetPlatformDisplay") == 0)
        return (__eglMustCastToProperFunctionPointerType)eglGetPlatformDisplay;
    if (strcmp(name, "eglGetPlatformDisplayEXT") == 0) {
        next_eglGetPlatformDisplayEXT = (PFNEGLGETPLATFORMDISPLAYEXTPROC)function;
        return (__eglMustCastToProperFunctionPointerType)hookedGetPlatformDisplayEXT;
    }
    return function;
}

EXPORT EGLBoolean eglInitialize(EGLDisplay display, EGLint* major, EGLint* minor)
{
    NEXT(eglInitialize);
    record("eglInitialize");
    if (failEgl("eglInitialize", EGL_NOT_INITIALIZED))
        return EGL_FALSE;
    return next_eglInitialize(display, major, minor);
}

EXPORT const char* eglQueryString(EGLDisplay display, EGLint name)
{
    NEXT(eglQueryString);
    /* The client-extension query (no display) is not the query a fault names. */
    if (display != EGL_NO_DISPLAY && failEgl("eglQueryString", EGL_BAD_PARAMETER))
        return NULL;
    return next_eglQueryString(display, name);
}

/* Hands out the list as edited: optionally reversed, optionally cut short. */
static EGLint handOut(const EGLConfig* all, EGLint total, EGLConfig* configs, EGLint size)
{
    if (configLimit >= 0 && total > configLimit)
        total = configLimit;
    handedOutCount = 0;
    for (EGLint i = 0; i < total && i < MAX_CONFIGS; ++i)
        handedOut[handedOutCount++] = all[reverseConfigs ? total - 1 - i : i];
    if (configs == NULL)
        return total;
    const EGLint count = total < size ? total : size;
    memcpy(configs, handedOut, sizeof(EGLConfig) * (size_t)count);
    return count;
}

static void limitCount(EGLint* count)
{
    if (configLimit >= 0 && *count > configLimit)
        *count = configLimit;
}

EXPORT EGLBoolean eglChooseConfig(EGLDisplay display, const EGLint* attributes, EGLConfig* configs, EGLint size,
                                  EGLint* count)
{
    NEXT(eglChooseConfig);
    char request[512] = "";
    for (const EGLint* a = attributes; a != NULL && *a != EGL_NONE; a += 2)
        snprintf(request + strlen(request), sizeof request - strlen(request), "%s0x%.4x=%d",
                 request[0] != '\0' ? " " : "", a[0], a[1]);
    if (failEgl("eglChooseConfig", EGL_BAD_ATTRIBUTE))
        return EGL_FALSE;
    EGLConfig all[MAX_CONFIGS];
    EGLint total = 0;
    const EGLBoolean result = next_eglChooseConfig(display, attributes, all, MAX_CONFIGS, &total);
    if (result == EGL_TRUE)
        *count = handOut(all, total, configs, size);
    record("eglChooseConfig(%s, %s, %d) = %d, %d", request, configs != NULL ? "list" : "NULL", size, result,
           result == EGL_TRUE ? *count : -1);
    passed("eglChooseConfig");
    return result;
}

EXPORT EGLBoolean eglGetConfigs(EGLDisplay display, EGLConfig* configs, EGLint size, EGLint* count)
{
    NEXT(eglGetConfigs);
    if (failEgl("eglGetConfigs", EGL_BAD_PARAMETER))
        return EGL_FALSE;
    EGLBoolean result;
    if (configs == NULL) {
        result = next_eglGetConfigs(display, NULL, size, count);
        if (result == EGL_TRUE)
            limitCount(count);
    } else {
        EGLConfig all[MAX_CONFIGS];
        EGLint total = 0;
        result = next_eglGetConfigs(display, all, MAX_CONFIGS, &total);
        if (result == EGL_TRUE)
            *count = handOut(all, total, configs, size);
    }
    record("eglGetConfigs(%s, %d) = %d", configs != NULL ? "list" : "NULL", size, result);
    passed("eglGetConfigs");
    return result;
}

EXPORT EGLBoolean eglGetConfigAttrib(EGLDisplay display, EGLConfig config, EGLint attribute, EGLint* value)
{
    NEXT(eglGetConfigAttrib);
    const int index = configIndex(config);
    if (failEgl("eglGetConfigAttrib", EGL_BAD_ATTRIBUTE)) {
        record("eglGetConfigAttrib(#%d, 0x%.4x) = 0", index, attribute);
        return EGL_FALSE;
    }
    const EGLBoolean result = next_eglGetConfigAttrib(display, config, attribute, value);
    for (int i = 0; i < editCount && result == EGL_TRUE; ++i)
        if (edits[i].index == index && edits[i].attribute == attribute)
            *value = edits[i].value;
    record("eglGetConfigAttrib(#%d, 0x%.4x) = %d, %d", index, attribute, result, result == EGL_TRUE ? *value : -1);
    return result;
}

EXPORT EGLSurface eglCreateWindowSurface(EGLDisplay display, EGLConfig config, EGLNativeWindowType window,
                                         const EGLint* attributes)
{
    NEXT(eglCreateWindowSurface);
    record("eglCreateWindowSurface(#%d)", configIndex(config));
    if (failEgl("eglCreateWindowSurface", EGL_BAD_NATIVE_WINDOW))
        return EGL_NO_SURFACE;
    return next_eglCreateWindowSurface(display, config, window, attributes);
}

EXPORT EGLSurface eglCreatePlatformWindowSurface(EGLDisplay display, EGLConfig config, void* window,
                                                 const EGLAttrib* attributes)
{
    NEXT(eglCreatePlatformWindowSurface);
    record("eglCreateWindowSurface(#%d)", configIndex(config));
    if (failEgl("eglCreateWindowSurface", EGL_BAD_NATIVE_WINDOW))
        return EGL_NO_SURFACE;
    return next_eglCreatePlatformWindowSurface(display, config, window, attributes);
}

EXPORT EGLBoolean eglBindAPI(EGLenum api)
{
    NEXT(eglBindAPI);
    record("eglBindAPI(0x%.4x)", api);
    return next_eglBindAPI(api);
}

EXPORT EGLContext eglCreateContext(EGLDisplay display, EGLConfig config, EGLContext share, const EGLint* attributes)
{
    NEXT(eglCreateContext);
    char request[128] = "";
    for (const EGLint* a = attributes; a != NULL && *a != EGL_NONE; a += 2)
        snprintf(request + strlen(request), sizeof request - strlen(request), "%s0x%.4x=%d",
                 request[0] != '\0' ? " " : "", a[0], a[1]);
    record("eglCreateContext(#%d, %s)", configIndex(config), request);
    if (failEgl("eglCreateContext", EGL_BAD_MATCH))
        return EGL_NO_CONTEXT;
    return next_eglCreateContext(display, config, share, attributes);
}

EXPORT EGLBoolean eglMakeCurrent(EGLDisplay display, EGLSurface draw, EGLSurface read, EGLContext context)
{
    NEXT(eglMakeCurrent);
    record("eglMakeCurrent(%s, %s)", draw == EGL_NO_SURFACE ? "no surface" : "surface",
           context == EGL_NO_CONTEXT ? "no context" : "context");
    if (failEgl("eglMakeCurrent", EGL_BAD_CONTEXT))
        return EGL_FALSE;
    const EGLBoolean result = next_eglMakeCurrent(display, draw, read, context);
    if (!hasPassed("eglMakeCurrent") && pauseSeconds > 0)
        nanosleep(&(struct timespec){(time_t)pauseSeconds, (long)((pauseSeconds - (time_t)pauseSeconds) * 1e9)}, NULL);
    passed("eglMakeCurrent");
    return result;
}

EXPORT Display* XOpenDisplay(const char* name)
{
    NEXT(XOpenDisplay);
    connection = next_XOpenDisplay(name);
    return connection;
}

/* The connection hangs up under the program, and the fault follows before the program's own
 * watch on the connection can run. */
static void crashOnLostConnection(void)
{
    static int swaps;
    if (crashSignal == 0 || connection == NULL || ++swaps != 3)
        return;
    shutdown(ConnectionNumber(connection), SHUT_RDWR);
    raise(crashSignal);
}

EXPORT EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface)
{
    NEXT(eglSwapBuffers);
    crashOnLostConnection();
    const EGLBoolean result = next_eglSwapBuffers(display, surface);
    record("eglSwapBuffers at %.6f", now());
    passed("eglSwapBuffers");
    return result;
}

EXPORT EGLBoolean eglDestroyContext(EGLDisplay display, EGLContext context)
{
    NEXT(eglDestroyContext);
    record("eglDestroyContext");
    return next_eglDestroyContext(display, context);
}

EXPORT EGLBoolean eglDestroySurface(EGLDisplay display, EGLSurface surface)
{
    NEXT(eglDestroySurface);
    record("eglDestroySurface");
    return next_eglDestroySurface(display, surface);
}

EXPORT EGLBoolean eglTerminate(EGLDisplay display)
{
    NEXT(eglTerminate);
    record("eglTerminate");
    return next_eglTerminate(display);
}

/* ---- Xlib: the window's end ---- */

EXPORT int XDestroyWindow(Display* display, Window window)
{
    NEXT(XDestroyWindow);
    record("XDestroyWindow");
    return next_XDestroyWindow(display, window);
}

EXPORT int XCloseDisplay(Display* display)
{
    NEXT(XCloseDisplay);
    record("XCloseDisplay");
    return next_XCloseDisplay(display);
}

/* ---- GL ---- */

EXPORT GLenum glGetError(void)
{
    NEXT(glGetError);
    const GLenum real = next_glGetError();
    if (shouldFail("glGetError")) {
        record("glGetError: failed by the shim");
        return GL_INVALID_OPERATION;
    }
    return real;
}

EXPORT void glGetIntegerv(GLenum name, GLint* data)
{
    NEXT(glGetIntegerv);
    if (noCompressedFormats && name == GL_NUM_COMPRESSED_TEXTURE_FORMATS) {
        *data = 0;
        return;
    }
    if (noCompressedFormats && name == GL_COMPRESSED_TEXTURE_FORMATS)
        return;
    next_glGetIntegerv(name, data);
}

EXPORT GLuint glCreateProgram(void)
{
    NEXT(glCreateProgram);
    if (shouldFail("glCreateProgram")) {
        record("glCreateProgram: failed by the shim");
        return 0;
    }
    return next_glCreateProgram();
}

EXPORT void glGetShaderiv(GLuint shader, GLenum name, GLint* value)
{
    NEXT(glGetShaderiv);
    next_glGetShaderiv(shader, name, value);
    if (name == GL_INFO_LOG_LENGTH && shouldFail("glGetShaderiv")) {
        record("glGetShaderiv(GL_INFO_LOG_LENGTH): 0 by the shim");
        *value = 0;
    }
}

EXPORT void glActiveTexture(GLenum unit)
{
    NEXT(glActiveTexture);
    record("glActiveTexture(0x%.4x)", unit);
    next_glActiveTexture(unit);
}

EXPORT void glBindTexture(GLenum target, GLuint texture)
{
    NEXT(glBindTexture);
    record("glBindTexture(0x%.4x, %u)", target, texture);
    next_glBindTexture(target, texture);
}

EXPORT void glUseProgram(GLuint program)
{
    NEXT(glUseProgram);
    currentProgram = program;
    next_glUseProgram(program);
}

EXPORT GLint glGetUniformLocation(GLuint program, const GLchar* name)
{
    NEXT(glGetUniformLocation);
    const GLint location = next_glGetUniformLocation(program, name);
    if (location >= 0 && uniformCount < MAX_UNIFORMS) {
        struct UniformName* entry = &uniforms[uniformCount++];
        entry->program = program;
        entry->location = location;
        snprintf(entry->name, sizeof entry->name, "%s", name);
    }
    return location;
}

static const char* uniformName(GLint location)
{
    for (int i = uniformCount - 1; i >= 0; --i)
        if (uniforms[i].program == currentProgram && uniforms[i].location == location)
            return uniforms[i].name;
    return "?";
}

/* "v0 v1 ..." of a float vector, exact to the last bit. */
static const char* floats(const GLfloat* values, int count, char* text, size_t size)
{
    text[0] = '\0';
    for (int i = 0; i < count; ++i)
        snprintf(text + strlen(text), size - strlen(text), "%s%.9g", i > 0 ? " " : "", (double)values[i]);
    return text;
}

EXPORT void glUniform1i(GLint location, GLint value)
{
    NEXT(glUniform1i);
    record("glUniform1i(%s, %d)", uniformName(location), value);
    next_glUniform1i(location, value);
}

EXPORT void glUniform1f(GLint location, GLfloat value)
{
    NEXT(glUniform1f);
    record("glUniform1f(%s, %.9g)", uniformName(location), (double)value);
    next_glUniform1f(location, value);
}

EXPORT void glUniform3fv(GLint location, GLsizei count, const GLfloat* values)
{
    NEXT(glUniform3fv);
    char text[256];
    record("glUniform3fv(%s, %d, %s)", uniformName(location), count,
           floats(values, 3 * (count < 4 ? count : 4), text, sizeof text));
    next_glUniform3fv(location, count, values);
}

EXPORT void glUniform4fv(GLint location, GLsizei count, const GLfloat* values)
{
    NEXT(glUniform4fv);
    char text[256];
    record("glUniform4fv(%s, %d, %s)", uniformName(location), count,
           floats(values, 4 * (count < 4 ? count : 4), text, sizeof text));
    next_glUniform4fv(location, count, values);
}

EXPORT void glUniformMatrix4fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* values)
{
    NEXT(glUniformMatrix4fv);
    char text[512];
    record("glUniformMatrix4fv(%s, %d, %d, %s)", uniformName(location), count, transpose,
           floats(values, 16, text, sizeof text));
    next_glUniformMatrix4fv(location, count, transpose, values);
}

EXPORT void glDepthFunc(GLenum function)
{
    NEXT(glDepthFunc);
    record("glDepthFunc(0x%.4x)", function);
    next_glDepthFunc(function);
}

EXPORT void glLineWidth(GLfloat width)
{
    NEXT(glLineWidth);
    record("glLineWidth(%.9g)", (double)width);
    next_glLineWidth(width);
}

EXPORT void glClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    NEXT(glClearColor);
    record("glClearColor(%.9g, %.9g, %.9g, %.9g)", (double)red, (double)green, (double)blue, (double)alpha);
    next_glClearColor(red, green, blue, alpha);
}

EXPORT void glClear(GLbitfield mask)
{
    NEXT(glClear);
    record("glClear(0x%.4x) at %.6f", mask, now());
    next_glClear(mask);
}

EXPORT void glEnable(GLenum capability)
{
    NEXT(glEnable);
    record("glEnable(0x%.4x)", capability);
    next_glEnable(capability);
}

EXPORT void glBlendFunc(GLenum source, GLenum destination)
{
    NEXT(glBlendFunc);
    record("glBlendFunc(0x%.4x, 0x%.4x)", source, destination);
    next_glBlendFunc(source, destination);
}

EXPORT void glCompressedTexImage2D(GLenum target, GLint level, GLenum format, GLsizei width, GLsizei height,
                                   GLint border, GLsizei imageSize, const void* data)
{
    NEXT(glCompressedTexImage2D);
    record("glCompressedTexImage2D(0x%.4x, %d, 0x%.4x, %d, %d, %d, %d)", target, level, format, width, height, border,
           imageSize);
    next_glCompressedTexImage2D(target, level, format, width, height, border, imageSize, data);
}

EXPORT void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                         GLenum format, GLenum type, const void* data)
{
    NEXT(glTexImage2D);
    record("glTexImage2D(0x%.4x, %d, 0x%.4x, %d, %d, %d, 0x%.4x, 0x%.4x)", target, level, internalFormat, width, height,
           border, format, type);
    next_glTexImage2D(target, level, internalFormat, width, height, border, format, type, data);
}

EXPORT void glTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                            GLenum type, const void* data)
{
    NEXT(glTexSubImage2D);
    record("glTexSubImage2D(0x%.4x, %d, %d, %d, %d, %d) at %.6f", target, level, x, y, width, height, now());
    next_glTexSubImage2D(target, level, x, y, width, height, format, type, data);
}

static void recordNames(const char* call, GLsizei count, const GLuint* names)
{
    char text[256] = "";
    for (GLsizei i = 0; i < count && i < 16; ++i)
        snprintf(text + strlen(text), sizeof text - strlen(text), "%s%u", i > 0 ? " " : "", names[i]);
    record("%s(%d, %s)", call, count, text);
}

EXPORT void glDeleteTextures(GLsizei count, const GLuint* names)
{
    NEXT(glDeleteTextures);
    recordNames("glDeleteTextures", count, names);
    next_glDeleteTextures(count, names);
    passed("glDeleteTextures");
}

EXPORT void glDeleteBuffers(GLsizei count, const GLuint* names)
{
    NEXT(glDeleteBuffers);
    recordNames("glDeleteBuffers", count, names);
    next_glDeleteBuffers(count, names);
    passed("glDeleteBuffers");
}

EXPORT void glDeleteVertexArrays(GLsizei count, const GLuint* names)
{
    NEXT(glDeleteVertexArrays);
    recordNames("glDeleteVertexArrays", count, names);
    next_glDeleteVertexArrays(count, names);
    passed("glDeleteVertexArrays");
}

EXPORT void glDeleteProgram(GLuint program)
{
    NEXT(glDeleteProgram);
    record("glDeleteProgram(%u)", program);
    next_glDeleteProgram(program);
}

/* ---- Files ---- */

EXPORT size_t fread(void* buffer, size_t size, size_t count, FILE* file)
{
    NEXT(fread);
    if (ready && faultCount > 0 && onMainThread() && shouldFail("fread")) {
        record("fread(%zu, %zu): half by the shim", size, count);
        return next_fread(buffer, size, count / 2, file);
    }
    return next_fread(buffer, size, count, file);
}

/* ---- Allocation ----
 * Only the main thread's allocations can fail: the driver's worker threads allocate at any time. */

static int onMainThread(void) { return syscall(SYS_gettid) == getpid(); }

/* dlsym may itself allocate while the next malloc is being looked up. */
static char bootstrap[4096];
static size_t bootstrapUsed;

static void* bootstrapAllocation(size_t size)
{
    size = (size + 15) & ~(size_t)15;
    if (bootstrapUsed + size > sizeof bootstrap)
        return NULL;
    void* block = bootstrap + bootstrapUsed;
    bootstrapUsed += size;
    return block;
}

static int resolving;

EXPORT void* malloc(size_t size)
{
    static void* (*next)(size_t);
    if (next == NULL) {
        if (resolving)
            return bootstrapAllocation(size);
        resolving = 1;
        next = (void* (*)(size_t))dlsym(RTLD_NEXT, "malloc");
        resolving = 0;
    }
    if (ready && faultCount > 0 && onMainThread() && shouldFail("malloc")) {
        record("malloc(%zu): failed by the shim", size);
        return NULL;
    }
    return next(size);
}

EXPORT void* calloc(size_t count, size_t size)
{
    static void* (*next)(size_t, size_t);
    if (next == NULL) {
        if (resolving)
            return bootstrapAllocation(count * size);
        resolving = 1;
        next = (void* (*)(size_t, size_t))dlsym(RTLD_NEXT, "calloc");
        resolving = 0;
    }
    if (ready && faultCount > 0 && onMainThread() && shouldFail("calloc")) {
        record("calloc(%zu, %zu): failed by the shim", count, size);
        return NULL;
    }
    return next(count, size);
}

/* operator new(std::size_t, const std::nothrow_t&): the allocations whose failure the program reports. */
EXPORT void* _ZnwmRKSt9nothrow_t(size_t size, const void* tag)
{
    static void* (*next)(size_t, const void*);
    if (next == NULL)
        next = (void* (*)(size_t, const void*))nextOf("_ZnwmRKSt9nothrow_t");
    if (onMainThread() && shouldFail("nothrow-new")) {
        record("nothrow-new(%zu): failed by the shim", size);
        return NULL;
    }
    return next(size, tag);
}
