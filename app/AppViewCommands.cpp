// The view commands (font, text and background colour) and select all in
// the focused edit.
#include "App.h"

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
    for (EditControl* field : {&editor->nameControl(), &editor->valueControl()})
        if (focus == field->hwnd())
            field->selectAll();
}
