#pragma once

#include <windows.h>

#include <string>

// Makes a multi-line edit anew with other styles: an edit takes some of its
// styles, word wrap among them, only when it is created. The new edit takes
// the old one's place (size, control id, place in the window and tab order,
// font, text limit, enabled and visible state, the borders the dialog
// manager gave it) and what the user had in it
// (text, modified flag, selection and the end of it where the caret is, the
// first visible line, the focus); only its undo is lost.
class EditRecreator {
public:
    // Reads the edit as it is now.
    explicit EditRecreator(HWND edit);

    // Creates the new edit with the old one's styles, these added and those
    // removed, and destroys the old one. Null, with the old edit left as it
    // was, when no edit could be made or it could not take the text.
    HWND recreate(DWORD addedStyles, DWORD removedStyles) const;

private:
    bool takeText(HWND edit) const;
    void giveStateTo(HWND edit) const;
    void scrollToFirstVisibleText(HWND edit) const;

    HWND edit_;
    std::string text_;
    DWORD selectionStart_ = 0;
    DWORD selectionEnd_ = 0;
    bool caretAtStart_ = false;
    // The first character of the first visible line: with wrapping switched,
    // the line that holds it is the nearest to what was shown.
    LRESULT firstVisibleChar_ = 0;
    bool modified_ = false;
    bool focused_ = false;
};
