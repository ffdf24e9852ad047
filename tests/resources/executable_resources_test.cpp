// Reads the application icon and the version information back from
// Tovrik.exe: the one built here, or the one TOVRIK_EXE_UNDER_TEST names (the
// packaging test points it at the executable that ships).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "platform/kernel_handles.h"
#include "resources/resource.h"

namespace {

std::string ExecutableUnderTest() {
    const char* chosen = std::getenv("TOVRIK_EXE_UNDER_TEST");
    return chosen && *chosen ? chosen : TOVRIK_BUILT_EXE;
}

// The layout of RT_GROUP_ICON data: a header, then one entry per image.
#pragma pack(push, 2)
struct IconGroupHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct IconGroupEntry {
    BYTE width;  // 0 stands for 256
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

struct ResourceBytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

ResourceBytes FindResourceBytes(HMODULE module, LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(module, name, type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, found)};
}

// Every resource's language, by type and name.
BOOL CALLBACK NoteLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR languages) {
    reinterpret_cast<std::set<WORD>*>(languages)->insert(language);
    return TRUE;
}
BOOL CALLBACK NoteNameLanguages(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR languages) {
    return EnumResourceLanguagesA(module, type, name, NoteLanguage, languages);
}
BOOL CALLBACK NoteTypeLanguages(HMODULE module, LPSTR type, LONG_PTR languages) {
    return EnumResourceNamesA(module, type, NoteNameLanguages, languages);
}

BOOL CALLBACK TakeFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
    *reinterpret_cast<ULONG_PTR*>(found) = reinterpret_cast<ULONG_PTR>(name);
    return FALSE;
}

class ExecutableResources : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = ExecutableUnderTest();
        module_.reset(LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(module_) << "cannot open " << path_;
    }

    std::vector<BYTE> VersionInfo() const {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(path_.c_str(), &ignored);
        std::vector<BYTE> block(size);
        if (size == 0 || !GetFileVersionInfoA(path_.c_str(), 0, size, block.data())) block.clear();
        return block;
    }

    std::string path_;
    UniqueModule module_;
};

TEST_F(ExecutableResources, TheApplicationIconIsTheFirstAndHoldsFourSharpSizes) {
    // The shell shows the first icon group of an executable as its icon.
    ULONG_PTR firstGroup = 0;
    EnumResourceNamesA(module_.get(), RT_GROUP_ICON, TakeFirstName, reinterpret_cast<LONG_PTR>(&firstGroup));
    EXPECT_EQ(firstGroup, static_cast<ULONG_PTR>(IDI_TOVRIK));

    const ResourceBytes group = FindResourceBytes(module_.get(), MAKEINTRESOURCEA(IDI_TOVRIK), RT_GROUP_ICON);
    ASSERT_GE(group.size, sizeof(IconGroupHeader));
    const auto* header = reinterpret_cast<const IconGroupHeader*>(group.data);
    ASSERT_EQ(group.size, sizeof(IconGroupHeader) + header->count * sizeof(IconGroupEntry));
    const auto* entries = reinterpret_cast<const IconGroupEntry*>(header + 1);
    std::set<int> sizes;
    for (WORD index = 0; index < header->count; ++index) {
        const int side = entries[index].width ? entries[index].width : 256;
        sizes.insert(side);
        // Each image must load as an icon of its stated size, with colour.
        const ResourceBytes image = FindResourceBytes(module_.get(), MAKEINTRESOURCEA(entries[index].id), RT_ICON);
        ASSERT_TRUE(image.data) << side;
        HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.data), image.size, TRUE, 0x00030000, side,
                                              side, LR_DEFAULTCOLOR);
        ASSERT_TRUE(icon) << side;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour = {};
        EXPECT_TRUE(info.hbmColor && GetObjectA(info.hbmColor, sizeof colour, &colour)) << side;
        EXPECT_EQ(colour.bmWidth, side);
        EXPECT_EQ(colour.bmHeight, side);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    // 24 and 64 are the small and large icon at 144 and 192 DPI.
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 64, 256}));
}

// The helper beside the program carries the same icon, its own version
// information and a manifest; every resource of both is Japanese, as their
// version blocks say.
TEST_F(ExecutableResources, BothProgramsCarryJapaneseResourcesAndTheHelperItsOwn) {
    UniqueModule helper(LoadLibraryExA(TOVRIK_BUILT_HELPER, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(helper);
    for (HMODULE module : {module_.get(), helper.get()}) {
        std::set<WORD> languages;
        EnumResourceTypesA(module, NoteTypeLanguages, reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_EQ(languages, std::set<WORD>{0x0411});
        EXPECT_TRUE(FindResourceBytes(module, MAKEINTRESOURCEA(IDI_TOVRIK), RT_GROUP_ICON).data);
        EXPECT_TRUE(FindResourceBytes(module, MAKEINTRESOURCEA(1), RT_MANIFEST).data);
    }
    DWORD ignored = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeA(TOVRIK_BUILT_HELPER, &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoA(TOVRIK_BUILT_HELPER, 0, static_cast<DWORD>(block.size()), block.data()));
    wchar_t* name = nullptr;
    UINT characters = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\041104b0\\OriginalFilename",
                               reinterpret_cast<void**>(&name), &characters));
    EXPECT_EQ(std::wstring(name), L"tovrik-decode.exe");
}

// Wine draws every program at the system DPI, aware or not, so only the
// manifest itself shows what Windows will do with it.
TEST_F(ExecutableResources, TheManifestDeclaresSystemDpiAwareness) {
    const ResourceBytes manifest = FindResourceBytes(module_.get(), MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_TRUE(manifest.data);
    const std::string text(reinterpret_cast<const char*>(manifest.data), manifest.size);
    EXPECT_NE(text.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"),
              std::string::npos);
    EXPECT_NE(text.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">system"
                        "</dpiAwareness>"),
              std::string::npos);
}

TEST_F(ExecutableResources, VersionInformationNamesTheProductAndItsVersion) {
    const std::vector<BYTE> block = VersionInfo();
    ASSERT_FALSE(block.empty()) << "no version information in " << path_;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(TOVRIK_EXPECTED_VERSION_MINOR,
                                                                  TOVRIK_EXPECTED_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, TOVRIK_EXPECTED_VERSION_PATCH)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    // One translation: Japanese, Unicode; the strings sit under it.
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_EQ(length, 2 * sizeof(WORD));
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 1200);

    auto text = [&](const wchar_t* name) {
        std::wstring query = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
        wchar_t* value = nullptr;
        UINT characters = 0;
        if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &characters) || !value)
            return std::wstring(L"<missing>");
        return std::wstring(value);
    };
    const std::string versionText = TOVRIK_EXPECTED_VERSION_TEXT;
    const std::wstring version(versionText.begin(), versionText.end());
    EXPECT_EQ(text(L"ProductName"), L"Tovrik");
    EXPECT_EQ(text(L"FileDescription"), L"同一ファイル検索ソフト");
    EXPECT_EQ(text(L"FileVersion"), version);
    EXPECT_EQ(text(L"ProductVersion"), version);
    EXPECT_EQ(text(L"OriginalFilename"), L"Tovrik.exe");
    EXPECT_EQ(text(L"LegalCopyright").rfind(L"Copyright (C) ", 0), 0u) << "copyright line";
}

}  // namespace
