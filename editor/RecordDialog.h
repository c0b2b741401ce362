#pragma once

#include <windows.h>

#include <string>

#include "EditControl.h"
#include "Font.h"
#include "SolidBrush.h"

// The record panel: a modeless child dialog (template 30000) with a one-line
// Name edit and a multi-line Value edit. It knows nothing of records; it
// moves byte strings in and out of the two edits, keeps their layout when
// it is resized and paints them in the user's font and colours.
class RecordDialog {
public:
    // Thrown when no panel window could be made (e.g. the template is
    // missing from the program's module).
    class CreationException {};

    // Creates the panel, hidden, as a child of the parent.
    explicit RecordDialog(HWND parent);
    ~RecordDialog();
    RecordDialog(const RecordDialog&) = delete;
    RecordDialog& operator=(const RecordDialog&) = delete;

    void setNameText(const std::string& text);
    void setValueText(const std::string& text);
    // The edit's whole text, byte for byte (the Value edit's line breaks
    // come back as CR LF).
    std::string nameText() const;
    std::string valueText() const;

    HWND hwnd() const { return hwnd_; }
    HWND nameEdit() const { return name_.hwnd(); }
    HWND valueEdit() const { return value_.hwnd(); }
    // The two edits, for their caret, selection and scrolling.
    EditControl& nameControl() { return name_; }
    EditControl& valueControl() { return value_; }
    // The edit whose label marks this character (of WM_SYSCHAR) as its
    // access key, in either case; null when no label does.
    HWND fieldWithAccessKey(WPARAM character) const;

    // The panel keeps its own copy; the caller's font may go away.
    void setFont(const Font& font);
    void setTextColor(COLORREF color);
    void setBackgroundColor(COLORREF color);
    void show(bool visible);

    // Whether the Value edit wraps its lines at its width, without a
    // horizontal scroll bar. The edit is made anew to switch, keeping its
    // text, pending changes, selection, scroll position, focus and undo;
    // false, with nothing changed, when no new edit could be made.
    bool setWordWrap(bool wrap);
    bool wordWrap() const { return wordWrap_; }

    // The layout measured from the template, in pixels of the panel's
    // client area. A font too tall for the Name edit's template height
    // makes the edit taller and lowers the Value label and the Value edit
    // by as much; valueTop() is where the Value edit starts at the template
    // height.
    int valueLeft() const { return valueLeft_; }
    int valueTop() const { return valueTop_; }
    int rightMargin() const { return rightMargin_; }
    int bottomMargin() const { return bottomMargin_; }

    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void onInitDialog(HWND dialog);
    void measureNameEdit();
    bool fitNameEditToFont();
    void onSize(int width, int height);
    INT_PTR onCtlColorEdit(HDC context);
    void onNcDestroy();
    RECT childRect(HWND child) const;

    Font font_;
    HWND hwnd_ = nullptr;
    EditControl name_;
    EditControl value_;
    int valueLeft_ = 0;
    int valueTop_ = 0;
    int rightMargin_ = 0;
    int bottomMargin_ = 0;
    int valueLabelTop_ = 0;
    // The Name edit at its template height: its outer height, what its
    // borders take of that and the margin it keeps above and below a line.
    int nameHeight_ = 0;
    int nameBorders_ = 0;
    int nameMargin_ = 0;
    // How much taller than its template the font makes the Name edit, and
    // how far the Value label and the Value edit stand lower for it.
    int nameGrowth_ = 0;
    bool wordWrap_ = false;
    COLORREF textColor_ = RGB(0, 0, 0);
    SolidBrush backgroundBrush_;
};
