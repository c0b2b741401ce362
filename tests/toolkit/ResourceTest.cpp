// The program's resources, read back from this test program, which links
// the same resource script.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Version.h"

namespace {

HMODULE self() {
    return GetModuleHandleA(nullptr);
}

struct Item {
    std::string text;   // empty for a separator
    UINT id;
    bool operator==(const Item&) const = default;
};

struct Popup {
    std::string text;
    std::vector<Item> items;
    bool operator==(const Popup&) const = default;
};

const Item separator = {"", 0};

std::vector<Item> itemsOf(HMENU menu) {
    std::vector<Item> items;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        char text[64] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, position, TRUE, &info);
        items.push_back((info.fType & MFT_SEPARATOR) ? separator : Item{text, info.wID});
    }
    return items;
}

std::string versionString(const std::vector<char>& block, const std::string& name) {
    char* value = nullptr;
    UINT length = 0;
    std::string path = "\\StringFileInfo\\080904E4\\" + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
        return "(missing)";
    return value;
}

} // namespace

TEST(Resources, MenuBarHasEveryPopupItemAndIdentifierInOrder) {
    HMENU bar = LoadMenuA(self(), MAKEINTRESOURCEA(10000));
    ASSERT_NE(bar, nullptr);
    const std::vector<Popup> expected = {
        {"&File", {{"&New\tCtrl+N", 10002}, {"&Open...\tCtrl+O", 10013}, {"&Save\tCtrl+S", 10003},
                   {"Save &As...", 10004}, separator, {"E&xit", 10014}}},
        {"&Records", {{"&Add\tCtrl++", 10006}, {"&Remove\tDel", 10007}, {"R&emove All", 10008}, separator,
                      {"Sort A&scending", 10015}, {"Sort Des&cending", 10016}, separator,
                      {"Move &Up\tAlt+Up", 10031}, {"Move &Down\tAlt+Down", 10032}, separator,
                      {"&Find...\tCtrl+F", 10033}, {"Find &Next\tF3", 10034}, {"Find &Previous\tShift+F3", 10035}}},
        {"&View", {{"&Font...", 10010}, {"&Color...", 10017}, {"&Background Color...", 10018}, separator,
                   {"&Word Wrap", 10036}}},
        {"&Help", {{"&User Guide\tF1", 10030}, {"&About Tabulo", 10012}}},
    };
    std::vector<Popup> found;
    for (int position = 0; position < GetMenuItemCount(bar); ++position) {
        char text[64] = {};
        GetMenuStringA(bar, position, text, sizeof text, MF_BYPOSITION);
        HMENU popup = GetSubMenu(bar, position);
        found.push_back({text, popup ? itemsOf(popup) : std::vector<Item>{}});
    }
    EXPECT_EQ(found, expected);
    DestroyMenu(bar);
}

TEST(Resources, IconIsOne32By32ImageIn16Colours) {
    HRSRC group = FindResourceA(self(), MAKEINTRESOURCEA(30001), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(self(), group)));
    WORD count = *reinterpret_cast<const WORD*>(directory + 4);
    ASSERT_EQ(count, 1);
    const BYTE* entry = directory + 6;   // width, height, colours, reserved, planes, bits, size, id
    EXPECT_EQ(entry[0], 32);
    EXPECT_EQ(entry[1], 32);
    EXPECT_EQ(entry[2], 16);
    WORD imageId = *reinterpret_cast<const WORD*>(entry + 12);
    HRSRC image = FindResourceA(self(), MAKEINTRESOURCEA(imageId), RT_ICON);
    ASSERT_NE(image, nullptr);
    auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(self(), image)));
    EXPECT_EQ(header->biBitCount, 4);

    HICON icon = LoadIconA(self(), MAKEINTRESOURCEA(30001));
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 32);
    EXPECT_EQ(bitmap.bmHeight, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

// Every version number of the program comes from project(VERSION) through
// Version.h; they must all say the same.
TEST(Resources, VersionBlockNamesTheProjectVersionInBritishEnglish) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(self(), path, MAX_PATH);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD high = MAKELONG(TABULO_VERSION_MINOR, TABULO_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, TABULO_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0809);
    EXPECT_EQ(translation[1], 1252);

    std::string quad = std::to_string(TABULO_VERSION_MAJOR) + "." + std::to_string(TABULO_VERSION_MINOR) + "." +
                       std::to_string(TABULO_VERSION_PATCH) + ".0";
    std::string shortVersion = std::to_string(TABULO_VERSION_MAJOR) + "." + std::to_string(TABULO_VERSION_MINOR);
    EXPECT_EQ(TABULO_VERSION_QUAD, quad);
    EXPECT_EQ(TABULO_VERSION_SHORT, shortVersion);
    EXPECT_EQ(versionString(block, "ProductName"), "Tabulo " + shortVersion);
    EXPECT_EQ(versionString(block, "FileVersion"), quad);
    EXPECT_EQ(versionString(block, "ProductVersion"), quad);
    EXPECT_EQ(versionString(block, "InternalName"), "tabulo.exe");
    EXPECT_EQ(versionString(block, "OriginalFilename"), "tabulo.exe");
    EXPECT_EQ(versionString(block, "FileDescription"), "Tabulo - A Simple Text Database Tool");
}

TEST(Resources, ManifestAsksForCommonControls6AndSystemDpiAwarenessForThisArchitecture) {
    HRSRC resource = FindResourceA(self(), MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(resource, nullptr);
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(self(), resource))),
                         SizeofResource(self(), resource));
    std::string architecture = sizeof(void*) == 8 ? "amd64" : "x86";
    std::string controls = "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"\n"
                           "                        processorArchitecture=\"" + architecture + "\"";
    EXPECT_NE(manifest.find(controls), std::string::npos) << manifest;
    EXPECT_NE(manifest.find("name=\"Tabulo\" version=\"" TABULO_VERSION_QUAD "\" processorArchitecture=\"" +
                            architecture + "\""),
              std::string::npos) << manifest;
    // Wine treats every program as DPI aware, whatever its manifest says, so
    // the entry itself is what can be checked here.
    EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"),
              std::string::npos) << manifest;
}
