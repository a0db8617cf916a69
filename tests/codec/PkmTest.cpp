#include "Pkm.h"
#include "EtcCodec.h"
#include "PkmIo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

etc::PkmFile sampleFile(etc::Format format, int width, int height)
{
    etc::PkmFile file;
    file.format = format;
    file.width = width;
    file.height = height;
    file.payload.resize(etc::payloadSize(format, width, height));
    for (std::size_t i = 0; i < file.payload.size(); ++i) {
        file.payload[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    return file;
}

// A fresh directory for one test's files, removed afterwards.
class PkmFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
            ("pkm-test-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {})); }

    void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes)
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    fs::path dir;
};

TEST(Pkm, HeaderOfAnEtc1File)
{
    const std::vector<std::uint8_t> bytes = etc::serializePkm(sampleFile(etc::Format::Etc1, 5, 3));
    const std::vector<std::uint8_t> header = {'P', 'K', 'M', ' ', '1', '0', 0, 0, 0, 8, 0, 4, 0, 5, 0, 3};
    ASSERT_EQ(bytes.size(), 16u + 16u); // 2 x 1 blocks of 8 bytes
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 16), header);
    EXPECT_EQ(bytes[16], 1);
}

TEST(Pkm, HeaderOfAnEtc2File)
{
    const std::vector<std::uint8_t> bytes = etc::serializePkm(sampleFile(etc::Format::SignedRg11, 7, 9));
    const std::vector<std::uint8_t> header = {'P', 'K', 'M', ' ', '2', '0', 0, 8, 0, 8, 0, 12, 0, 7, 0, 9};
    ASSERT_EQ(bytes.size(), 16u + 2 * 3 * 16);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 16), header);
    const std::vector<std::uint8_t> big = etc::serializePkm(sampleFile(etc::Format::Rgba8, 1000, 300));
    EXPECT_EQ(big[6], 0);
    EXPECT_EQ(big[7], 3);
    EXPECT_EQ(big[12], 1000 >> 8);
    EXPECT_EQ(big[13], 1000 & 0xFF);
}

TEST(Pkm, ParseReadsWhatSerializeWrites)
{
    for (const etc::FormatInfo& info : etc::allFormats()) {
        const etc::PkmFile original = sampleFile(info.format, 13, 6);
        etc::PkmFile parsed;
        std::string error;
        ASSERT_TRUE(etc::parsePkm(etc::serializePkm(original), parsed, error)) << info.toolName << ": " << error;
        EXPECT_EQ(parsed.format, info.format);
        EXPECT_EQ(parsed.width, 13);
        EXPECT_EQ(parsed.height, 6);
        EXPECT_EQ(parsed.payload, original.payload);
    }
}

TEST(Pkm, ParseRejectsBadHeaders)
{
    const std::vector<std::uint8_t> good = etc::serializePkm(sampleFile(etc::Format::Rgb8, 8, 8));
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        const char* expected;
    };
    auto changed = [&](std::size_t offset, std::uint8_t value) {
        std::vector<std::uint8_t> bytes = good;
        bytes[offset] = value;
        return bytes;
    };
    const Case cases[] = {
        {"empty", {}, "truncated PKM header"},
        {"short header", std::vector<std::uint8_t>(good.begin(), good.begin() + 15), "truncated PKM header"},
        {"magic", changed(3, 'X'), "not a PKM file"},
        {"unknown type", changed(7, 2), "unknown PKM data type 2"},
        {"version", changed(4, '1'), "unknown PKM data type 1 for version \"10\""},
        {"zero width", changed(13, 0), "not positive"},
        {"zero height", changed(15, 0), "not positive"},
        {"padding", changed(9, 12), "padded size"},
        {"short payload", std::vector<std::uint8_t>(good.begin(), good.end() - 1), "truncated payload"},
    };
    for (const Case& c : cases) {
        etc::PkmFile file;
        std::string error;
        EXPECT_FALSE(etc::parsePkm(c.bytes, file, error)) << c.what;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.what << ": " << error;
    }
}

TEST_F(PkmFiles, SaveThenLoad)
{
    const etc::PkmFile original = sampleFile(etc::Format::Rgb8Punchthrough, 10, 10);
    const std::string path = (dir / "image.pkm").string();
    std::string error;
    ASSERT_TRUE(imageio::writePkm(path, original, error)) << error;
    EXPECT_EQ(entries(), 1u); // no temporary left beside it
    etc::PkmFile loaded;
    ASSERT_TRUE(imageio::readPkm(path, loaded, error)) << error;
    EXPECT_EQ(loaded.format, original.format);
    EXPECT_EQ(loaded.payload, original.payload);
    EXPECT_EQ(fs::file_size(path), 16 + original.payload.size());
}

TEST_F(PkmFiles, LoadErrorsNameTheFile)
{
    const std::string missing = (dir / "missing.pkm").string();
    etc::PkmFile file;
    std::string error;
    EXPECT_FALSE(imageio::readPkm(missing, file, error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;

    const fs::path truncated = dir / "truncated.pkm";
    std::vector<std::uint8_t> bytes = etc::serializePkm(sampleFile(etc::Format::R11, 16, 16));
    bytes.resize(bytes.size() - 8);
    writeBytes(truncated, bytes);
    EXPECT_FALSE(imageio::readPkm(truncated.string(), file, error));
    EXPECT_NE(error.find(truncated.string()), std::string::npos) << error;
    EXPECT_NE(error.find("truncated payload"), std::string::npos) << error;
}

TEST_F(PkmFiles, FailedSaveLeavesNoFile)
{
    const fs::path path = dir / "bad.pkm";
    std::string error;
    for (const auto& [width, height] : {std::pair{0, 4}, std::pair{4, -1}, std::pair{70000, 4}}) {
        etc::PkmFile file = sampleFile(etc::Format::Etc1, 4, 4);
        file.width = width;
        file.height = height;
        EXPECT_FALSE(imageio::writePkm(path.string(), file, error));
        EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    }
    etc::PkmFile wrongPayload = sampleFile(etc::Format::Rgba8, 8, 8);
    wrongPayload.payload.pop_back();
    EXPECT_FALSE(imageio::writePkm(path.string(), wrongPayload, error));
    EXPECT_EQ(entries(), 0u);

    const fs::path inMissingDir = dir / "no-such-dir" / "out.pkm";
    EXPECT_FALSE(imageio::writePkm(inMissingDir.string(), sampleFile(etc::Format::Etc1, 4, 4), error));
    EXPECT_NE(error.find(inMissingDir.string()), std::string::npos) << error;
    EXPECT_EQ(entries(), 0u);
}

TEST_F(PkmFiles, FailedSaveKeepsTheOldFile)
{
    const fs::path path = dir / "keep.pkm";
    std::string error;
    ASSERT_TRUE(imageio::writePkm(path.string(), sampleFile(etc::Format::Etc1, 4, 4), error)) << error;
    const auto before = fs::file_size(path);
    etc::PkmFile bad = sampleFile(etc::Format::Etc1, 4, 4);
    bad.height = 0;
    EXPECT_FALSE(imageio::writePkm(path.string(), bad, error));
    EXPECT_EQ(fs::file_size(path), before);
    EXPECT_EQ(entries(), 1u);
}

} // namespace
