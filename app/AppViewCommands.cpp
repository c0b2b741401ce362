// The view commands (font, text and background colour), select all in the
// focused edit, and the About box.
#include "App.h"

#include "Version.h"

namespace {

const char* const aboutText =
    "Tabulo - A Simple Text Database Tool\r\n"
    "Version " TABULO_VERSION_SHORT "\r\n"
    "\r\n"
    "Keeps named notes in a plain text file of {name=value} entries.\r\n"
    "Drag names to reorder them; right-click a name for the Records menu.";

} // namespace

void App::onFont() {
    if (!font.choose(mainWindow.hwnd))
        return;
    font.applyTo(listBox.hwnd(), true);
    editor->setFont(font);
}

void App::onTextColor() {
    if (!textColor.choose(mainWindow.hwnd))
        return;
    editor->setTextColor(textColor.get());
    InvalidateRect(listBox.hwnd(), nullptr, FALSE);
    InvalidateRect(editor->hwnd(), nullptr, FALSE);
}

void App::onBackgroundColor() {
    if (!backgroundColor.choose(mainWindow.hwnd))
        return;
    COLORREF color = backgroundColor.get();
    backgroundBrush.create(color);
    editor->setBackgroundColor(color);
    InvalidateRect(listBox.hwnd(), nullptr, TRUE);
    InvalidateRect(editor->hwnd(), nullptr, TRUE);
}

void App::onSelectAll() {
    HWND focus = GetFocus();
    if (focus == editor->nameEdit() || focus == editor->valueEdit())
        SendMessageA(focus, EM_SETSEL, 0, -1);
}

void App::onAbout() {
    MessageBoxA(mainWindow.hwnd, aboutText, "About Tabulo", MB_ICONINFORMATION);
}
