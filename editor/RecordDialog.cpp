#include "RecordDialog.h"

#include <cctype>
#include <utility>

#include "Window.h"
#include "resource.h"

namespace {

// Links the panel window to its RecordDialog.
const char ownerProperty[] = "A";

// A multi-line edit without these wraps its lines at its width.
constexpr DWORD horizontalScrolling = WS_HSCROLL | ES_AUTOHSCROLL;

} // namespace

RecordDialog::RecordDialog(HWND parent) : backgroundBrush_(RGB(255, 255, 255)) {
    // The initialisation runs inside this call and stores the panel in hwnd_.
    HWND created = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_RECORD), parent,
                                      dialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd_) {
        // A window that never linked itself to this object would answer
        // nothing and outlive it.
        if (created)
            DestroyWindow(created);
        throw CreationException();
    }
}

RecordDialog::~RecordDialog() {
    if (hwnd_)
        DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

void RecordDialog::setNameText(const std::string& text) {
    name_.setText(text);
}

void RecordDialog::setValueText(const std::string& text) {
    value_.setText(text);
}

std::string RecordDialog::nameText() const {
    return name_.text();
}

std::string RecordDialog::valueText() const {
    return value_.text();
}

// The letter after the "&" of the label's text.
HWND RecordDialog::fieldWithAccessKey(WPARAM character) const {
    auto lower = [](WPARAM c) { return c < 0x80 ? static_cast<WPARAM>(std::tolower(static_cast<int>(c))) : c; };
    for (auto [label, field] : {std::pair{IDC_NAME_LABEL, name_.hwnd()}, std::pair{IDC_VALUE_LABEL, value_.hwnd()}}) {
        std::string text = Window::textOf(GetDlgItem(hwnd_, label));
        std::size_t mark = text.find('&');
        if (mark != std::string::npos && mark + 1 < text.size() &&
            lower(static_cast<unsigned char>(text[mark + 1])) == lower(character))
            return field;
    }
    return nullptr;
}

void RecordDialog::setFont(const Font& font) {
    // A copy that cannot be made leaves the previous font, which the edits
    // are given again.
    font_ = font;
    font_.applyTo(name_.hwnd(), true);
    font_.applyTo(value_.hwnd(), true);
    if (!fitNameEditToFont())
        return;
    RECT client;
    GetClientRect(hwnd_, &client);
    onSize(client.right, client.bottom);
}

void RecordDialog::setTextColor(COLORREF color) {
    textColor_ = color;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void RecordDialog::setBackgroundColor(COLORREF color) {
    backgroundBrush_.create(color);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void RecordDialog::show(bool visible) {
    ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

bool RecordDialog::setWordWrap(bool wrap) {
    if (wrap == wordWrap_)
        return true;
    if (!(wrap ? value_.recreate(0, horizontalScrolling) : value_.recreate(horizontalScrolling, 0)))
        return false;
    wordWrap_ = wrap;
    return true;
}

INT_PTR CALLBACK RecordDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<RecordDialog*>(GetPropA(dialog, ownerProperty));
    if (!self) {
        // Anything before the initialisation is left to the dialog manager.
        if (message == WM_INITDIALOG && lParam)
            reinterpret_cast<RecordDialog*>(lParam)->onInitDialog(dialog);
        return FALSE;
    }
    switch (message) {
    case WM_SIZE:
        self->onSize(LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_COMMAND:
        // The commands (IDOK, IDCANCEL, the edits' notifications) change
        // nothing: no key hides the panel, only the owner does.
        return TRUE;
    case WM_CLOSE:
        // Esc in the multi-line Value edit asks its dialog to close; left to
        // the dialog manager it would become IDCANCEL. The panel stays.
        return TRUE;
    case WM_CTLCOLOREDIT:
        return self->onCtlColorEdit(reinterpret_cast<HDC>(wParam));
    case WM_NCDESTROY:
        self->onNcDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

void RecordDialog::onInitDialog(HWND dialog) {
    // Without the link the panel could answer nothing: leave hwnd_ null so
    // that the constructor reports the failure.
    if (!SetPropA(dialog, ownerProperty, this))
        return;
    hwnd_ = dialog;
    name_.attach(GetDlgItem(dialog, IDC_NAME_EDIT));
    value_.attach(GetDlgItem(dialog, IDC_VALUE_EDIT));
    // Values and names may be far longer than an edit's default limit.
    name_.liftTextLimit();
    value_.liftTextLimit();

    RECT client;
    GetClientRect(dialog, &client);
    RECT value = childRect(value_.hwnd());
    valueLeft_ = value.left;
    valueTop_ = value.top;
    rightMargin_ = client.right - value.right;
    bottomMargin_ = client.bottom - value.bottom;
    valueLabelTop_ = childRect(GetDlgItem(dialog, IDC_VALUE_LABEL)).top;
    measureNameEdit();

    SetFocus(value_.hwnd());
    value_.select(0, 0);
}

// Measured with the template's own font, which the template's height fits.
void RecordDialog::measureNameEdit() {
    RECT outer = childRect(name_.hwnd());
    RECT client;
    GetClientRect(name_.hwnd(), &client);
    RECT text = name_.formattingRect();
    nameHeight_ = outer.bottom - outer.top;
    nameBorders_ = nameHeight_ - client.bottom;
    nameMargin_ = text.top - client.top;
}

// A font whose line fits inside the edit at its template height leaves the
// layout as the template has it; a taller one makes the edit a line of it
// high plus the edit's borders and margins. True when the growth changed.
bool RecordDialog::fitNameEditToFont() {
    int line = font_.lineHeight();
    int growth = 0;
    if (line > nameHeight_ - nameBorders_)
        growth = line + 2 * nameMargin_ + nameBorders_ - nameHeight_;
    if (growth == nameGrowth_)
        return false;
    nameGrowth_ = growth;
    return true;
}

void RecordDialog::onSize(int width, int height) {
    // The Name edit keeps its place and stretches to the same right edge as
    // the Value edit; the rows below it make room for its height.
    RECT name = childRect(name_.hwnd());
    SetWindowPos(name_.hwnd(), nullptr, name.left, name.top, width - name.left - rightMargin_,
                 nameHeight_ + nameGrowth_, SWP_NOZORDER);
    HWND valueLabel = GetDlgItem(hwnd_, IDC_VALUE_LABEL);
    RECT label = childRect(valueLabel);
    SetWindowPos(valueLabel, nullptr, label.left, valueLabelTop_ + nameGrowth_, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    int top = valueTop_ + nameGrowth_;
    SetWindowPos(value_.hwnd(), nullptr, valueLeft_, top, width - valueLeft_ - rightMargin_,
                 height - top - bottomMargin_, SWP_NOZORDER);
}

INT_PTR RecordDialog::onCtlColorEdit(HDC context) {
    SetTextColor(context, textColor_);
    SetBkColor(context, backgroundBrush_.color());
    return reinterpret_cast<INT_PTR>(backgroundBrush_.handle());
}

void RecordDialog::onNcDestroy() {
    // The window can go before this object (with its parent); forget it so
    // that the destructor does not destroy whatever reuses the handle.
    RemovePropA(hwnd_, ownerProperty);
    hwnd_ = nullptr;
}

RECT RecordDialog::childRect(HWND child) const {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
