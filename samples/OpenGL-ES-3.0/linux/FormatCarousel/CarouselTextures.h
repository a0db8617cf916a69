#ifndef FORMAT_CAROUSEL_CAROUSEL_TEXTURES_H
#define FORMAT_CAROUSEL_CAROUSEL_TEXTURES_H

#include "ImageTable.h"

namespace FormatCarousel {

// Loads imageArray[index]'s PKM file into a new texture of the entry's format (level 0
// only), stores its name in the entry and leaves it bound to GL_TEXTURE_2D, with linear
// filtering and clamped edges. A file too short for the payload its header implies ends
// the program with a message. False, after a message, for an index outside the table.
bool initializeTexture(unsigned index);

// Deletes the ten textures and clears their names.
void deleteTextures();

} // namespace FormatCarousel

#endif
