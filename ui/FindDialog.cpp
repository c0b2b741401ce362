#include "FindDialog.h"

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

bool FindDialog::handleMessage(MSG& msg) {
    return box_ && IsDialogMessageA(box_, &msg);
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
