// The built tovrik-image.spi as a host sees it (Windows builds only): loaded
// by path from TOVRIK_IMAGE_PLUGIN, its exports looked up by their plain
// names, and what GetPicture hands over.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "bundled-plugin/susie_interface.h"
#include "tests/bundled-plugin/test_images.h"

struct PluginExports {
    GetPluginInfoFunction getPluginInfo = nullptr;
    IsSupportedFunction isSupported = nullptr;
    GetPictureInfoFunction getPictureInfo = nullptr;
    GetPictureFunction getPicture = nullptr;
};

// Loaded once for the test program; an export that is missing stays null.
const PluginExports& Plugin();

struct LocalBlockFreer {
    void operator()(void* block) const { LocalFree(block); }
};
using UniqueLocalBlock = std::unique_ptr<void, LocalBlockFreer>;

// GetPicture's result and the two blocks, freed with LocalFree.
struct ReceivedPicture {
    int result = -100;
    UniqueLocalBlock info;
    UniqueLocalBlock bits;

    const BITMAPINFOHEADER& Header() const { return *static_cast<const BITMAPINFOHEADER*>(info.get()); }
    // The pixels read back from the bottom-up rows; none when nothing came.
    TestPicture Pixels() const;
};

ReceivedPicture PictureFromMemory(const std::string& bytes, SusieProgressCallback progress = nullptr,
                                  LONG progressData = 0);
ReceivedPicture PictureFromFile(const std::string& path, LONG offset = 0);

// A fixture file named by an environment variable, as a narrow path; empty
// when the variable is not set.
std::string FixturePath(const char* variable);

// A file of the test pictures' folder (TOVRIK_TEST_PICTURES), and its bytes.
std::string TestPicturePath(const std::string& name);
std::string ReadTestPicture(const std::string& name);

// Fails a test at once when the plug-in did not load or lacks an export.
class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Plugin().getPluginInfo, nullptr) << "plug-in not loaded from TOVRIK_IMAGE_PLUGIN, or no GetPluginInfo";
        ASSERT_NE(Plugin().isSupported, nullptr);
        ASSERT_NE(Plugin().getPictureInfo, nullptr);
        ASSERT_NE(Plugin().getPicture, nullptr);
    }
};
