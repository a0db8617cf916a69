#ifndef CELL_AUTOMATON_CELL_AUTOMATON_SAMPLE_H
#define CELL_AUTOMATON_CELL_AUTOMATON_SAMPLE_H

#include <GLES3/gl3.h>

#include <string>

// The sample's state and the hooks that the shell calls. Rule 30 runs on the GPU: each
// generation is one line drawn into a framebuffer whose colour attachment alternates between
// two unsigned-integer cell textures, ping (the seed and the even generations, unit 0) and
// pong (the odd generations, unit 1); a full-screen quad then shows both. The names live in
// the program's own namespace, so that other samples' hooks can be linked beside them (the
// GL tests link several).
namespace CellAutomaton {

// Where the shader files are found: "assets/" beside the program; read by setUpSample.
extern std::string assetsDirectory;

// The host copy of the grid that ping is uploaded from (gridWidth x gridHeight bytes).
extern unsigned char* cellData;
extern GLuint pingTextureId;
extern GLuint pongTextureId;

bool setUpSample();
// The 600 passes: generation i from the texture holding generation i - 1.
void computeGenerations();
// Both textures to the default framebuffer, seed row at the top.
void mergeTextures();
void drawFrame();
// A new random top row in ping, the rest of the grid dead; the next frame grows from it.
void reseedAutomaton();
void tearDownSample();

} // namespace CellAutomaton

#endif
