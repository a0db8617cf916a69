// The console font reader, and the atlas the text renderer's bitmap is drawn from it with.
#include "FuzzInput.h"

#include "FontAtlas.h"
#include "PsfFont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    assets::PsfFont font;
    std::string error;
    if (assets::parsePsf(std::vector<std::uint8_t>(data, data + size), font, error)) {
        std::vector<std::uint8_t> rgba;
        assets::renderFontAtlas(font, rgba, error);
    }
    return 0;
}
