// Help > User Guide and F1: the guide beside the program opens in the
// system's program for text files (in the tests' Wine prefix no program is
// registered for them, so Notepad shows it), and a missing guide is named
// where it was looked for.
#include "AppFixture.h"

#include <cstdio>

#include "resource.h"

namespace {

std::string guideBesideThisProgram() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1) + "README.txt";
}

HWND notepad() {
    return FindWindowA("Notepad", nullptr);
}

TEST_F(AppTest, F1ShowsTheGuideFromTheProgramsFolderWhereverTheFocusIs) {
    ASSERT_EQ(notepad(), nullptr);
    start();
    command(IDM_ADD);
    SetFocus(valueEdit());
    pressKey(valueEdit(), VK_F1);
    // Notepad shows "Untitled" until it has read the file.
    EXPECT_TRUE(pumpUntil([] { return windowText(notepad()).find("README.txt") != std::string::npos; }, 30000))
        << windowText(notepad());
    PostMessageA(notepad(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(pumpUntil([] { return notepad() == nullptr; }));
}

TEST_F(AppTest, AMissingGuideIsNamedWhereItWasLookedFor) {
    std::string guide = guideBesideThisProgram();
    std::string away = guide + ".away";
    ASSERT_EQ(std::rename(guide.c_str(), away.c_str()), 0) << guide;
    start();
    answers.thenPress(IDOK);
    command(IDM_USER_GUIDE);
    std::rename(away.c_str(), guide.c_str());
    ASSERT_EQ(answers.seen().size(), 1u);
    EXPECT_EQ(answers.seen()[0].text, "The user guide was not found. It was looked for here:\r\n" + guide);
    EXPECT_EQ(notepad(), nullptr);
}

} // namespace
