#include "AssetCatalogue.h"

#include "CarouselPictures.h"
#include "CarpetPicture.h"
#include "FontAtlas.h"

#include "AlphaPlane.h"
#include "Atlas.h"
#include "AtomicFile.h"
#include "ColourBleed.h"
#include "LevelNames.h"
#include "Mipmap.h"
#include "PgmIo.h"
#include "PkmChain.h"
#include "PkmEncoding.h"
#include "PkmIo.h"
#include "PngIo.h"

#include <filesystem>
#include <system_error>

namespace assets {

namespace {

struct Picture {
    const char* name;
    const char* summary;
    etc::Image (*render)();
};

const std::vector<Picture>& pictures()
{
    static const std::vector<Picture> all = {
        {"carpet", "the carpet of the three ETC1 alpha programs, 512 x 256, RGBA", renderCarpet},
        {"hills", "rolling hills, heights in R, 256 x 256", renderHeightMap},
        {"ripples", "ripples around zero, signed heights in R, 256 x 256", renderRippleMap},
        {"bricks", "normals of a brick wall, X in R and Y in G, 256 x 256", renderBrickNormals},
        {"landscape", "a mountain lake at sunset, 256 x 256", renderLandscape},
        {"bubbles", "soap bubbles with smooth alpha, 256 x 256", renderBubbles},
        {"cog", "a brass cog with one-bit alpha, 256 x 256", renderCog},
    };
    return all;
}

const Picture* findPicture(const std::string& name)
{
    for (const Picture& picture : pictures())
        if (name == picture.name)
            return &picture;
    return nullptr;
}

// Colour levels are filtered from the bled picture (no dark fringes along transparent
// edges); alpha planes come from the same levels, so colour and alpha agree level by level.
std::vector<etc::Image> carpetColourLevels()
{
    return texops::buildMipmapChain(texops::bleedColourIntoTransparent(renderCarpet()), texops::ColourSpace::Linear);
}

std::vector<etc::Image> carpetAlphaLevels()
{
    std::vector<etc::Image> alpha;
    for (const etc::Image& level : carpetColourLevels())
        alpha.push_back(texops::alphaPlaneImage(level));
    return alpha;
}

std::vector<etc::Image> carpetAtlasLevels()
{
    std::vector<etc::Image> colour = carpetColourLevels();
    std::vector<etc::Image> alpha;
    alpha.reserve(colour.size());
    for (const etc::Image& level : colour)
        alpha.push_back(texops::alphaPlaneImage(level));
    return texops::buildAtlasChain(colour, alpha);
}

enum class Kind { Chain, Texture, Greymap, Font };

struct Recipe {
    const char* name;
    const char* summary;
    Kind kind;
    etc::Format format;
    etc::Effort effort;
    std::vector<etc::Image> (*levels)(); // Chain
    etc::Image (*picture)();             // Texture, Greymap
};

etc::Image bledCog() { return texops::bleedColourIntoTransparent(renderCog()); }

etc::Image bledBubbles() { return texops::bleedColourIntoTransparent(renderBubbles()); }

const std::vector<Recipe>& recipes()
{
    using etc::Effort;
    using etc::Format;
    static const std::vector<Recipe> all = {
        {"carpet-colour", "ETC1 mipmap chain of the carpet's colour", Kind::Chain, Format::Etc1, Effort::Best,
         carpetColourLevels, nullptr},
        {"carpet-alpha", "ETC1 mipmap chain of the carpet's alpha plane", Kind::Chain, Format::Etc1, Effort::Best,
         carpetAlphaLevels, nullptr},
        {"carpet-atlas", "ETC1 mipmap chain of colour over alpha atlases", Kind::Chain, Format::Etc1, Effort::Best,
         carpetAtlasLevels, nullptr},
        {"carpet-alpha-pgm", "the carpet's full-size alpha plane as a binary PGM", Kind::Greymap, Format::Etc1,
         Effort::Default, nullptr, renderCarpet},
        {"height-map", "R11 EAC height map", Kind::Texture, Format::R11, Effort::Best, nullptr, renderHeightMap},
        {"height-map-signed", "signed R11 EAC ripple map", Kind::Texture, Format::SignedR11, Effort::Best, nullptr,
         renderRippleMap},
        {"bump-map", "RG11 EAC normal map", Kind::Texture, Format::Rg11, Effort::Best, nullptr, renderBrickNormals},
        {"bump-map-signed", "signed RG11 EAC normal map", Kind::Texture, Format::SignedRg11, Effort::Best, nullptr,
         renderBrickNormals},
        {"texture", "RGB8 ETC2 colour picture", Kind::Texture, Format::Rgb8, Effort::Best, nullptr, renderLandscape},
        {"semi-alpha", "RGBA8 ETC2 EAC picture with smooth alpha", Kind::Texture, Format::Rgba8, Effort::Best, nullptr,
         bledBubbles},
        {"binary-alpha", "RGB8 punch-through ETC2 picture with one-bit alpha", Kind::Texture, Format::Rgb8Punchthrough,
         Effort::Best, nullptr, bledCog},
        {"font", "the text renderer's 256 x 48 RGBA glyph atlas, from a PSF console font", Kind::Font, Format::Etc1,
         Effort::Default, nullptr, nullptr},
    };
    return all;
}

const Recipe* findRecipe(const std::string& name)
{
    for (const Recipe& recipe : recipes())
        if (name == recipe.name)
            return &recipe;
    return nullptr;
}

bool makeParentFolder(const std::string& path, std::string& error)
{
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code failure;
    if (!parent.empty())
        std::filesystem::create_directories(parent, failure);
    if (failure)
        error = imageio::writeFailure(path, "cannot create its folder: " + failure.message());
    return !failure;
}

// One thread: the build already runs several asset commands side by side.
etc::EncodeOptions encodeOptions(const Recipe& recipe)
{
    etc::EncodeOptions options;
    options.effort = recipe.effort;
    return options;
}

bool buildChain(const Recipe& recipe, const std::string& pattern, std::string& error)
{
    if (!texops::isLevelPattern(pattern)) {
        error = "the output pattern '" + pattern + "' must hold %d exactly once";
        return false;
    }
    const std::vector<etc::Image> levels = recipe.levels();
    for (const std::string& file : texops::chainFileNames(pattern, levels.size()))
        if (!imageio::checkWritable(file, error))
            return false;
    std::vector<etc::PkmFile> files;
    for (const etc::Image& level : levels) {
        etc::PkmFile pkm;
        if (!texops::encodePkm(level, recipe.format, encodeOptions(recipe), pkm, error))
            return false;
        files.push_back(std::move(pkm));
    }
    return texops::savePkmChain(pattern, files, error);
}

bool buildTexture(const Recipe& recipe, const std::string& path, std::string& error)
{
    etc::PkmFile pkm;
    return imageio::checkWritable(path, error) &&
        texops::encodePkm(recipe.picture(), recipe.format, encodeOptions(recipe), pkm, error) &&
        imageio::writePkm(path, pkm, error);
}

bool buildGreymap(const Recipe& recipe, const std::string& path, std::string& error)
{
    const etc::Image image = recipe.picture();
    return imageio::writePgm(path, image.width, image.height, texops::channelPlane(image, 3), error);
}

bool buildFont(const std::string& fontPath, const std::string& path, std::string& error)
{
    PsfFont font;
    std::vector<std::uint8_t> rgba;
    if (!loadPsfFile(fontPath, font, error))
        return false;
    if (!renderFontAtlas(font, rgba, error)) {
        error = imageio::readFailure(fontPath, error);
        return false;
    }
    return imageio::writeFileAtomically(path, rgba, error);
}

} // namespace

std::vector<AssetDescription> listAssets()
{
    std::vector<AssetDescription> list;
    for (const Recipe& recipe : recipes())
        list.push_back({recipe.name, recipe.summary});
    return list;
}

bool buildAsset(const std::string& name, const std::string& output, const std::string& fontPath, std::string& error)
{
    const Recipe* recipe = findRecipe(name);
    if (recipe == nullptr) {
        error = "unknown asset '" + name + "'";
        return false;
    }
    if (!makeParentFolder(output, error))
        return false;
    switch (recipe->kind) {
    case Kind::Chain:
        return buildChain(*recipe, output, error);
    case Kind::Texture:
        return buildTexture(*recipe, output, error);
    case Kind::Greymap:
        return buildGreymap(*recipe, output, error);
    case Kind::Font:
        return buildFont(fontPath, output, error);
    }
    return false;
}

std::vector<AssetDescription> listPictures()
{
    std::vector<AssetDescription> list;
    for (const Picture& picture : pictures())
        list.push_back({picture.name, picture.summary});
    return list;
}

bool writePicture(const std::string& name, const std::string& pngPath, std::string& error)
{
    const Picture* picture = findPicture(name);
    if (picture == nullptr) {
        error = "unknown picture '" + name + "'";
        return false;
    }
    return makeParentFolder(pngPath, error) && imageio::writePng(pngPath, picture->render(), error);
}

} // namespace assets
