#include "Font.h"

#include <commdlg.h>

#include "ScreenScale.h"

namespace {

HFONT stockFont() {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// Zero-filled when the handle describes no font.
LOGFONTA logicalFont(HFONT font) {
    LOGFONTA description = {};
    if (font)
        GetObjectA(font, sizeof description, &description);
    return description;
}

} // namespace

Font::Font() : handle_(stockFont()) {}

Font::Font(const char* faceName, int pointSize, bool bold, bool italic) : Font() {
    create(faceName, pointSize, bold, italic);
}

Font::Font(const Font& other) : Font() {
    copyFrom(other.handle_);
}

Font::Font(HFONT other) : Font() {
    copyFrom(other);
}

Font::~Font() {
    destroy();
}

Font& Font::operator=(const Font& other) {
    // Also for self-assignment: the copy is made before the old font goes.
    copyFrom(other.handle_);
    return *this;
}

Font& Font::operator=(HFONT other) {
    copyFrom(other);
    return *this;
}

bool Font::create(const char* faceName, int pointSize, bool bold, bool italic) {
    int height = -MulDiv(pointSize, ScreenScale().dpi(), 72);
    HFONT font = CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_DONTCARE, italic ? 1 : 0, 0, 0,
                             ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, faceName);
    if (!font)
        return false;
    replace(font);
    return true;
}

BOOL Font::destroy() {
    if (!handle_)
        return FALSE;
    BOOL deleted = DeleteObject(handle_);
    handle_ = nullptr;
    return deleted;
}

int Font::pointSize() const {
    TEXTMETRICA held = metrics();
    return MulDiv(held.tmHeight - held.tmInternalLeading, 72, ScreenScale().dpi());
}

int Font::lineHeight() const {
    return metrics().tmHeight;
}

bool Font::isBold() const {
    return logicalFont(handle_).lfWeight >= FW_BOLD;
}

bool Font::isItalic() const {
    return logicalFont(handle_).lfItalic != 0;
}

LRESULT Font::applyTo(HWND window, bool redraw) const {
    return SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(handle_), redraw ? 1 : 0);
}

bool Font::choose(HWND owner) {
    LOGFONTA description = logicalFont(handle_);
    CHOOSEFONTA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpLogFont = &description;
    dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFontA(&dialog))
        return false;
    return createFrom(description);
}

// Zero-filled when no font is held.
TEXTMETRICA Font::metrics() const {
    TEXTMETRICA held = {};
    if (!handle_)
        return held;
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, handle_);
    GetTextMetricsA(screen, &held);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return held;
}

bool Font::copyFrom(HFONT source) {
    LOGFONTA description = {};
    if (!source || !GetObjectA(source, sizeof description, &description))
        return false;
    return createFrom(description);
}

bool Font::createFrom(const LOGFONTA& description) {
    HFONT font = CreateFontIndirectA(&description);
    if (!font)
        return false;
    replace(font);
    return true;
}

void Font::replace(HFONT font) {
    // Deleting the stock font is harmless: GDI ignores it.
    if (handle_)
        DeleteObject(handle_);
    handle_ = font;
}
