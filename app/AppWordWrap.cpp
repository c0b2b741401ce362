// Word wrap in the Value field: the View menu's checked item, the panel's
// Value edit switched, the choice kept in the settings.
#include "App.h"

#include "resource.h"

void App::onWordWrap() {
    applyWordWrap(!settings.wordWrap());
}

// The setting and the check mark follow what the edit could be made to do.
void App::applyWordWrap(bool wrap) {
    editor->setWordWrap(wrap);
    bool wrapping = editor->wordWrap();
    settings.setWordWrap(wrapping);
    CheckMenuItem(GetMenu(mainWindow.hwnd), IDM_WORD_WRAP, MF_BYCOMMAND | (wrapping ? MF_CHECKED : MF_UNCHECKED));
}
