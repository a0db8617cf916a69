#ifndef ASSET_BUILD_ASSET_CATALOGUE_H
#define ASSET_BUILD_ASSET_CATALOGUE_H

#include <string>
#include <vector>

namespace assets {

struct AssetDescription {
    std::string name;
    std::string summary;
};

// Every asset the programs read, by the name the build asks for it with.
std::vector<AssetDescription> listAssets();

// Generates one asset. `output` is a file path, or for mipmap chains a pattern holding %d
// for the level number; parent folders are created. `fontPath` is the PSF font the "font"
// asset is converted from. Every file is complete or absent; errors name the file.
bool buildAsset(const std::string& name, const std::string& output, const std::string& fontPath, std::string& error);

// The uncompressed source pictures, to look at or to compare with what compression made.
std::vector<AssetDescription> listPictures();
bool writePicture(const std::string& name, const std::string& pngPath, std::string& error);

} // namespace assets

#endif
