#include "AppFixture.h"

#include <cstdlib>
#include <new>
#include <optional>

#include "support/RecordLists.h"

std::atomic<std::size_t> allocationLimit{0};
std::atomic<long> allocationsLeft{-1};

namespace {

bool allocationAllowed(std::size_t size) {
    std::size_t limit = allocationLimit;
    if (limit != 0 && size > limit)
        return false;
    long left = allocationsLeft;
    if (left >= 0)
        allocationsLeft = left - 1;
    return left != 0;
}

} // namespace

void* operator new(std::size_t size) {
    void* memory = allocationAllowed(size) ? std::malloc(size ? size : 1) : nullptr;
    if (!memory)
        throw std::bad_alloc();
    return memory;
}

// The replacement above takes its memory from malloc.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
#pragma GCC diagnostic pop

DialogAnswerer::Action choosePath(const std::string& path) {
    return [path](HWND dialog) {
        constexpr int fileNameCombo = 0x47C; // Explorer-style dialogs
        constexpr int fileNameEdit = 0x480;  // older dialogs
        HWND box = GetDlgItem(dialog, fileNameCombo);
        if (!box)
            box = GetDlgItem(dialog, fileNameEdit);
        SetWindowTextA(box, path.c_str());
        pressButton(dialog, IDOK);
    };
}

void AppTest::SetUp() {
    parkPointer();
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    previousDirectory_ = current;
    SetCurrentDirectoryA(dir.path().string().c_str());
}

void AppTest::TearDown() {
    stop();
    SetCurrentDirectoryA(previousDirectory_.c_str());
    EXPECT_EQ(answers.unexpected(), 0) << "a dialog opened that the test did not expect";
    EXPECT_TRUE(answers.allAnswered()) << "an expected dialog did not open";
}

void AppTest::start() {
    app = std::make_unique<App>();
    runLoop();
}

void AppTest::stop() {
    app.reset();
    pumpMessages(); // the quit message that destroying the window posts
}

void AppTest::runLoop() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitPosted = true;
            exitCode = msg.wParam;
            continue;
        }
        app->processMessage(msg);
    }
}

// A menu posts its command, which then goes through the loop.
void AppTest::command(int id) {
    PostMessageA(mainWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    runLoop();
}

// A key pressed with Alt arrives as a system key. Without modifiers of its
// own the key takes those that the test holds.
void AppTest::pressKey(HWND window, WPARAM key, BYTE modifiers) {
    std::optional<ModifierKeys> held;
    if (modifiers)
        held.emplace(modifiers);
    bool alt = (modifiers & FALT) != 0;
    LPARAM context = alt ? 1 << 29 : 0;
    PostMessageA(window, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | context);
    PostMessageA(window, alt ? WM_SYSKEYUP : WM_KEYUP, key, 0xC0000001 | context);
    runLoop();
}

void AppTest::type(HWND window, const std::string& text) {
    for (char c : text) {
        PostMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
        runLoop();
    }
}

POINT AppTest::itemPoint(int index) const {
    RECT r;
    SendMessageA(list(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    MapWindowPoints(list(), HWND_DESKTOP, &p, 1);
    return p;
}

void AppTest::mouse(UINT message, POINT screen) {
    ASSERT_TRUE(movePointerTo(screen));
    WPARAM buttons = message == WM_LBUTTONUP ? 0 : MK_LBUTTON;
    PostMessageA(list(), message, buttons, listPoint(screen));
    runLoop();
}

LPARAM AppTest::listPoint(POINT screen) const {
    ScreenToClient(list(), &screen);
    return MAKELPARAM(screen.x, screen.y);
}

void AppTest::parkPointer() {
    ASSERT_TRUE(movePointerTo({GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1}));
}

void AppTest::clickItem(int index) {
    POINT p = itemPoint(index);
    ScreenToClient(list(), &p);
    LPARAM at = MAKELPARAM(p.x, p.y);
    PostMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list(), WM_LBUTTONUP, 0, at);
    runLoop();
}

bool AppTest::greyed(UINT id) const {
    return (GetMenuState(GetMenu(mainWindow()), id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

std::vector<std::string> AppTest::listItems() const {
    std::vector<std::string> items;
    int count = static_cast<int>(SendMessageA(list(), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string item(static_cast<std::size_t>(SendMessageA(list(), LB_GETTEXTLEN, i, 0)) + 1, '\0');
        int length = static_cast<int>(SendMessageA(list(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data())));
        item.resize(length);
        items.push_back(item);
    }
    return items;
}

int AppTest::listSelection() const {
    return static_cast<int>(SendMessageA(list(), LB_GETCURSEL, 0, 0));
}

std::vector<std::string> AppTest::recordNames() const {
    return namesOf(app->recordList());
}

std::string AppTest::writeDatabase(const std::string& name, const std::vector<Record>& records) {
    std::string path = dir.file(name);
    EXPECT_TRUE(listOf(records).save(path));
    return path;
}

void AppTest::openDatabase(const std::vector<Record>& records) {
    ASSERT_TRUE(app->openFile(writeDatabase("db.txt", records)));
    runLoop();
}
