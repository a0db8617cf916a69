#ifndef PROGRAM_PATHS_H
#define PROGRAM_PATHS_H

#include <string>

// Paths of the programs in the build tree.
namespace programs {
const std::string formatCarousel = "samples/OpenGL-ES-3.0/linux/FormatCarousel/FormatCarousel";
const std::string patchTorus = "samples/OpenGL-ES-3.0/linux/PatchTorus/PatchTorus";
const std::string cellAutomaton = "samples/OpenGL-ES-3.0/linux/CellAutomaton/CellAutomaton";
const std::string rawAlphaPlane = "samples/OpenGL-ES-2.0/linux/RawAlphaPlane/RawAlphaPlane";
const std::string packedAlphaPlane = "samples/OpenGL-ES-2.0/linux/PackedAlphaPlane/PackedAlphaPlane";
const std::string stackedAlpha = "samples/OpenGL-ES-2.0/linux/StackedAlpha/StackedAlpha";
const std::string configLister = "tools/ConfigLister/ConfigLister";
// The test-only program that runs the application shell and reports what it sees.
const std::string shellProbe = "tests/programs/ShellProbe/ShellProbe";
} // namespace programs

#endif
