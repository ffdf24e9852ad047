// The registry over real plug-in files: test-only DLLs copied into a fresh
// folder together with things that only look like plug-ins.
#include "plugins/plugin_registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;

namespace {

// Where the build put the test plug-ins (a compile definition).
fs::path TestPlugin(const std::string& name) { return fs::path(TOVRIK_TEST_PLUGIN_DIR) / name; }

// Rows grouped by plug-in file name, each in registration order.
std::map<std::string, std::vector<std::string>> RowsByPlugin() {
    std::map<std::string, std::vector<std::string>> rows;
    for (const PluginEntry& entry : g_pluginRegistry.entries) {
        std::string name = entry.pluginPath.substr(entry.pluginPath.find_last_of('\\') + 1);
        rows[name].push_back(entry.extension);
    }
    return rows;
}

class PluginRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        Install("filter-1.spi", "one.spi");
        Install("filter-2.spi", "all.spi");
        Install("filter-3.spi", "upper.spi");
        Install("filter-4.spi", "nodot.spi");
        Install("filter-5.spi", "unterminated.spi");
        Install("filter-6.spi", "endless.spi");
        Install("no-info.spi", "noinfo.spi");
        Install("filter-1.spi", ".hidden.spi");
        tree_.File("junk.spi", "not a DLL at all");
        tree_.Folder("folder.spi");
        tree_.File("readme.txt", "not a plug-in");
    }
    void TearDown() override { LoadPlugins(""); }

    void Install(const std::string& built, const std::string& as) {
        fs::copy_file(TestPlugin(built), NativePath(tree_.Path(as)));
    }

    TempTree tree_;
};

TEST_F(PluginRegistryTest, RegistersEachDeclaredExtensionInOrderAndSkipsTheRest) {
    LoadPlugins(tree_.Root());
    std::map<std::string, std::vector<std::string>> expected = {
        {"one.spi", {"jpg", "jpeg", "tar.gz", "gz"}},
        {"all.spi", {"*"}},
        {"upper.spi", {"JPG"}},
        {"nodot.spi", {"png"}},
        // 200 bytes of "*.abc;" without a terminator end in "*."; cut to 199
        // bytes and a terminator, 33 whole patterns and a "*" remain.
        {"unterminated.spi", std::vector<std::string>(33, "abc")},
        // Never told that its filters end, the registry stops asking.
        {"endless.spi", std::vector<std::string>(1000, "inf")},
    };
    EXPECT_EQ(RowsByPlugin(), expected);
    for (const PluginEntry& entry : g_pluginRegistry.entries)
        EXPECT_EQ(entry.pluginPath.rfind(tree_.Root() + "\\", 0), 0u) << entry.pluginPath;
}

TEST_F(PluginRegistryTest, FolderWithOrWithoutBackslashAndReloadsGiveTheSameRegistry) {
    LoadPlugins(tree_.Root());
    const auto first = g_pluginRegistry.entries.size();
    LoadPlugins(tree_.Root());
    EXPECT_EQ(g_pluginRegistry.entries.size(), first);  // replaced, not doubled
    LoadPlugins(tree_.Root() + "\\");
    EXPECT_EQ(g_pluginRegistry.entries.size(), first);
    EXPECT_EQ(RowsByPlugin().count("one.spi"), 1u);

    fs::remove(NativePath(tree_.Path("one.spi")));
    LoadPlugins(tree_.Root());
    EXPECT_EQ(RowsByPlugin().count("one.spi"), 0u);
    EXPECT_EQ(g_pluginRegistry.entries.size(), first - 4);
}

TEST_F(PluginRegistryTest, EmptyOrMissingFolderGivesAnEmptyRegistry) {
    LoadPlugins(tree_.Root());
    ASSERT_FALSE(g_pluginRegistry.entries.empty());
    LoadPlugins("");
    EXPECT_TRUE(g_pluginRegistry.entries.empty());
    LoadPlugins(tree_.Path("no-such-folder"));
    EXPECT_TRUE(g_pluginRegistry.entries.empty());
}

// 表 ends in the byte 0x5C: a byte-wise "ends with a backslash" would add no
// separator and find no plug-in.
TEST(PluginRegistryFolderNameTest, FolderEndingInADoubleByteBackslashLookAlikeFindsItsPlugins) {
    TempTree tree;
    const std::string folder = tree.Path("\x89\xe6\x91\x9c\x95\x5c");  // 画像表
    fs::create_directories(NativePath(folder));
    fs::copy_file(TestPlugin("filter-3.spi"), NativePath(folder + "\\upper.spi"));
    LoadPlugins(folder);
    ASSERT_EQ(g_pluginRegistry.entries.size(), 1u);
    EXPECT_EQ(g_pluginRegistry.entries[0].extension, "JPG");
    EXPECT_EQ(g_pluginRegistry.entries[0].pluginPath, folder + "\\upper.spi");
    LoadPlugins("");
}

}  // namespace
