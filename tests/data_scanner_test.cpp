// The data-directory scanner over temporary working folders: which entries are recorded with
// which sizes, a sub-folder as a file that cannot be opened, the table's capacity; and the
// extension rule.
#include "core/data_scanner.h"
#include "tga_test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(DataScanner, FileExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"model.3dm", ".3dm"},
        {"archive.tar.gz", ".gz"},
        {"README", ""},
        {".hidden", ""},  // a dot only as the first character is no extension
        {".hidden.tga", ".tga"},
        {"trailing.", "."},
        {".", ""},
        {"..", "."},
        {"", ""},
    };
    for (const auto& [name, extension] : cases)
        EXPECT_STREQ(fileExtension(name), extension) << '"' << name << '"';
}

void writeFile(const std::filesystem::path& path, size_t bytes)
{
    std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
}

std::vector<std::pair<std::string, int64_t>> recordedFiles()
{
    std::vector<std::pair<std::string, int64_t>> files;
    for (int i = 0; i < dataScan.count; ++i)
        files.emplace_back(dataScan.names[i], dataScan.sizes[i]);
    std::sort(files.begin(), files.end());
    return files;
}

class DataScannerFolder : public ::testing::Test {
protected:
    ScopedDataFolder folder;  // a fresh working folder holding an empty data/ sub-folder
    void SetUp() override { ASSERT_FALSE(folder.root.empty()); }
};

TEST_F(DataScannerFolder, RecordsModelsPicturesAndOthersButNotLeftOutTypes)
{
    const std::filesystem::path& root = folder.root;
    writeFile(root / "model.3dm", 5);
    writeFile(root / "picture.tga", 7);
    writeFile(root / "shader.frag", 0);
    writeFile(root / ".hidden.tga", 3);
    for (const char* leftOut : {"notes.txt", "song.mp3", "shot.bmp", "scene.blend", "tool.exe", "lib.dll",
                                "level.gmax", "README", ".hidden", "trailing."})
        writeFile(root / leftOut, 11);
    // Sizes past 32 bits: a sparse file of 5 GB.
    writeFile(root / "huge.dae", 0);
    std::filesystem::resize_file(root / "huge.dae", 5'000'000'000LL);

    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    scanDataDirectory();
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();

    // The data/ sub-folder holds an empty slot of size 0.
    const std::vector<std::pair<std::string, int64_t>> expected = {
        {"", 0}, {".hidden.tga", 3}, {"huge.dae", 5'000'000'000LL}, {"model.3dm", 5}, {"picture.tga", 7},
        {"shader.frag", 0}};
    EXPECT_EQ(recordedFiles(), expected);
    EXPECT_EQ(dataScan.totalBytes, 5'000'000'015LL);
    EXPECT_EQ(err, "packer file error\n");
    EXPECT_EQ(out, "file:data\n");
}

TEST_F(DataScannerFolder, EmptyFolderTotalsZeroAndRescansStartAfresh)
{
    std::filesystem::remove(folder.root / "data");
    writeFile(folder.root / "one.tga", 4);
    scanDataDirectory();
    EXPECT_EQ(dataScan.count, 1);
    std::filesystem::remove(folder.root / "one.tga");
    scanDataDirectory();
    EXPECT_EQ(dataScan.count, 0);
    EXPECT_EQ(dataScan.totalBytes, 0);
}

TEST_F(DataScannerFolder, StopsAtTheTableCapacity)
{
    std::filesystem::remove(folder.root / "data");
    for (int i = 0; i < DATA_SCAN_CAPACITY + 6; ++i)
        writeFile(folder.root / ("f" + std::to_string(i) + ".tga"), 1);
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    scanDataDirectory();
    testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(dataScan.count, DATA_SCAN_CAPACITY);
    EXPECT_NE(err.find("more than 1024"), std::string::npos) << err;
    EXPECT_EQ(dataScan.totalBytes, DATA_SCAN_CAPACITY);
}

TEST_F(DataScannerFolder, RecordingANameThatCannotBeOpened)
{
    dataScan = {};
    std::snprintf(dataScan.names[0], DATA_SCAN_NAME_BYTES, "stale");
    dataScan.sizes[0] = 99;
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    recordDataFile("missing.tga");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "file:missing.tga\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "packer file error\n");
    EXPECT_EQ(dataScan.count, 0) << "the caller counts the slot";
    EXPECT_STREQ(dataScan.names[0], "");
    EXPECT_EQ(dataScan.sizes[0], 0);
}

}  // namespace
