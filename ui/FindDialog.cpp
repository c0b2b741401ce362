#include "FindDialog.h"

#include <algorithm>

namespace {

// The box reports what it was asked through these; they describe one
// notification and must not stay set for the next box.
constexpr DWORD notificationFlags = FR_FINDNEXT | FR_DIALOGTERM | FR_REPLACE | FR_REPLACEALL;
// What the user chose in the box. Each notification carries them, but the
// box may change the flags once it has said it closes (Wine's clears them),
// so they are kept from the notifications.
constexpr DWORD choiceFlags = FR_DOWN | FR_MATCHCASE;

} // namespace

FindDialog::FindDialog() : find_(), text_(), message_(RegisterWindowMessageA(FINDMSGSTRINGA)) {
    find_.lStructSize = sizeof find_;
    find_.Flags = FR_DOWN | FR_HIDEWHOLEWORD;
    find_.lpstrFindWhat = text_;
    find_.wFindWhatLen = bufferSize;
}

FindDialog::~FindDialog() {
    if (box_)
        DestroyWindow(box_);
}

bool FindDialog::open(HWND owner) {
    if (box_ && IsWindow(box_)) {
        SetActiveWindow(box_);
        return true;
    }
    find_.hwndOwner = owner;
    find_.Flags = (find_.Flags & ~(notificationFlags | choiceFlags)) | choices_ | FR_HIDEWHOLEWORD;
    box_ = FindTextA(&find_);
    return box_ != nullptr;
}

// Below the place when the box fits there, else above it; where it fits
// on neither side, on the side with more room, as far off as the work area
// lets it be.
void FindDialog::keepClearOf(const RECT& area) {
    RECT box;
    RECT overlap;
    if (!box_ || !GetWindowRect(box_, &box) || !IntersectRect(&overlap, &box, &area))
        return;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    LONG width = box.right - box.left;
    LONG height = box.bottom - box.top;
    bool fitsBelow = area.bottom + height <= work.bottom;
    bool fitsAbove = area.top - height >= work.top;
    bool roomierAbove = area.top - work.top > work.bottom - area.bottom;
    LONG top = fitsBelow || (!fitsAbove && !roomierAbove) ? area.bottom : area.top - height;
    top = std::clamp(top, work.top, std::max(work.top, work.bottom - height));
    LONG left = std::clamp(box.left, work.left, std::max(work.left, work.right - width));
    SetWindowPos(box_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool FindDialog::handleMessage(MSG& msg) {
    return box_ && IsDialogMessageW(box_, &msg);
}

FindDialog::Request FindDialog::onNotification(LPARAM lParam) {
    if (reinterpret_cast<const FINDREPLACEA*>(lParam) != &find_)
        return Request::none;
    choices_ = find_.Flags & choiceFlags;
    if (find_.Flags & FR_DIALOGTERM) {
        box_ = nullptr;
        return Request::closed;
    }
    return (find_.Flags & FR_FINDNEXT) ? Request::findNext : Request::none;
}
