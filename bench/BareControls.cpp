#include "BareControls.h"

namespace {

const char* const frameClass = "TabuloBenchFrame";
// The program's list box scrolls this far sideways.
constexpr int horizontalExtent = 800;
constexpr DWORD listBoxStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT;
constexpr DWORD editStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                            ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN;

void registerFrameClass() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = frameClass;
    RegisterClassA(&windowClass); // fails harmlessly when already registered
}

void handleWaitingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

} // namespace

BareControls::BareControls() {
    registerFrameClass();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    frame_ = CreateWindowExA(0, frameClass, "bare controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                             nullptr, nullptr, instance, nullptr);
    RECT client = {};
    GetClientRect(frame_, &client);
    int half = client.right / 2;
    listBox_ = CreateWindowExA(0, "LISTBOX", "", listBoxStyle, 0, 0, half, client.bottom, frame_, nullptr,
                               instance, nullptr);
    SendMessageA(listBox_, LB_SETHORIZONTALEXTENT, horizontalExtent, 0);
    edit_ = CreateWindowExA(0, "EDIT", "", editStyle, half, 0, client.right - half, client.bottom, frame_, nullptr,
                            instance, nullptr);
    handleWaitingMessages();
}

BareControls::~BareControls() {
    if (frame_)
        DestroyWindow(frame_);
}

void BareControls::fill(const std::vector<std::string>& names) {
    SendMessageA(listBox_, WM_SETREDRAW, FALSE, 0);
    SendMessageA(listBox_, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : names)
        SendMessageA(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageA(listBox_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox_, nullptr, TRUE);
}

void BareControls::renewItem(int index, const char* text) {
    SendMessageA(listBox_, LB_DELETESTRING, index, 0);
    SendMessageA(listBox_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text));
    SendMessageA(listBox_, LB_SETCURSEL, index, 0);
    handleWaitingMessages();
}

void BareControls::setEditText(const char* text) {
    SetWindowTextA(edit_, text);
    handleWaitingMessages();
}

int BareControls::count() const {
    return static_cast<int>(SendMessageA(listBox_, LB_GETCOUNT, 0, 0));
}
