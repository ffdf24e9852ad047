// The registry over real plug-in files: test-only DLLs copied into a fresh
// folder together with things that only look like plug-ins.
#include "plugins/plugin_registry.h"

#include <gtest/gtest.h>

#include <aclapi.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>

#include "engine/folder_listing.h"
#include "plugins/helper_security_win32.h"

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

// Plug-ins that never answer, listed first, hold up the load for its one
// allowance in all, and the plug-ins after them are still registered. Four
// of them: enough that one after another (3 s each) would take far longer,
// few enough that the helpers asking them start in time on a busy machine.
TEST_F(PluginRegistryTest, PluginsThatHangAreGivenUpTogetherAndTheRestKeepTheirOrder) {
    for (char n = '0'; n <= '3'; ++n) Install("filter-8.spi", std::string("a-hangs-") + n + ".spi");
    const auto started = std::chrono::steady_clock::now();
    LoadPlugins(tree_.Root());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(8));
    const std::vector<std::string> expected = {"jpg", "jpeg", "tar.gz", "gz"};
    EXPECT_EQ(RowsByPlugin()["one.spi"], expected);
    for (char n = '0'; n <= '3'; ++n) EXPECT_EQ(RowsByPlugin().count(std::string("a-hangs-") + n + ".spi"), 0u);
    // Rows in the order the folder lists the plug-ins, whichever answered first.
    std::vector<std::string> order, listed;
    for (const PluginEntry& entry : g_pluginRegistry.entries) {
        const std::string name = entry.pluginPath.substr(entry.pluginPath.find_last_of('\\') + 1);
        if (order.empty() || order.back() != name) order.push_back(name);
    }
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolderEntries(tree_.Root() + "\\", entries));
    for (const FolderEntry& entry : entries) {
        if (std::find(order.begin(), order.end(), entry.name) != order.end()) listed.push_back(entry.name);
    }
    EXPECT_EQ(order, listed);
}

// The helper's pipe: for the current user alone, under a name nobody can
// guess, and its client known by process.
TEST(HelperPipeTest, OnlyTheUserMayOpenItAndItsClientIsKnown) {
    HelperPipe first = CreateHelperPipe(false);
    HelperPipe second = CreateHelperPipe(true);
    ASSERT_TRUE(first.handle && second.handle);
    EXPECT_NE(first.name, second.name);
    EXPECT_EQ(first.name.size(), std::wstring(L"\\\\.\\pipe\\tovrik-decode-").size() + 32);
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetSecurityInfo(first.handle.get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              &dacl, nullptr, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    UniqueLocal descriptorOwner(descriptor);
    ASSERT_TRUE(dacl);
    ASSERT_EQ(dacl->AceCount, 1);
    ACCESS_ALLOWED_ACE* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, 0, reinterpret_cast<void**>(&ace)));
    EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    UniqueHandle tokenOwner(token);
    char user[256];
    DWORD size = sizeof user;
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, user, size, &size));
    EXPECT_TRUE(EqualSid(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &ace->SidStart));

    UniqueHandle client = AdoptFileHandle(
        CreateFileW(first.name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(client);
    EXPECT_TRUE(PipeClientIsProcess(first.handle.get(), GetCurrentProcess()));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION other = {};
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CreateProcessW(self, nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                               &other));
    UniqueHandle otherProcess(other.hProcess), otherThread(other.hThread);
    EXPECT_FALSE(PipeClientIsProcess(first.handle.get(), other.hProcess));
    TerminateProcess(other.hProcess, 0);
}

// 表 ends in the byte 0x5C in code page 932; the folder's UTF-8 path must
// get its separator and find its plug-in all the same.
TEST(PluginRegistryFolderNameTest, FolderEndingInADoubleByteBackslashLookAlikeFindsItsPlugins) {
    TempTree tree;
    const std::string folder = tree.Path("\xE7\x94\xBB\xE5\x83\x8F\xE8\xA1\xA8");  // 画像表
    fs::create_directories(NativePath(folder));
    fs::copy_file(TestPlugin("filter-3.spi"), NativePath(folder + "\\upper.spi"));
    LoadPlugins(folder);
    ASSERT_EQ(g_pluginRegistry.entries.size(), 1u);
    EXPECT_EQ(g_pluginRegistry.entries[0].extension, "JPG");
    EXPECT_EQ(g_pluginRegistry.entries[0].pluginPath, folder + "\\upper.spi");
    LoadPlugins("");
}

}  // namespace
