#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// An edit control of a parent's, not owned: the window goes with its parent.
// The one place that sends an edit its EM_ messages. Places in its text are
// byte offsets in its ANSI text, whatever the edit itself counts: on a
// double-byte code page some edits count characters.
class EditControl {
public:
    // The selected bytes from `start` to `end` (start <= end); the caret is
    // at one of the two ends, known while the edit has the focus.
    struct Selection {
        std::size_t start = 0;
        std::size_t end = 0;
        bool caretAtStart = false;
    };

    EditControl() = default;
    // Takes its own window procedure off the edit (see attach).
    ~EditControl();
    EditControl(const EditControl&) = delete;
    EditControl& operator=(const EditControl&) = delete;

    // Takes the edit, and puts a window procedure of its own in front of
    // the edit's, which draws the selection while the edit has no focus
    // (see showSelectionWithoutFocus).
    void attach(HWND edit);
    HWND hwnd() const { return hwnd_; }

    std::string text() const;
    void setText(const std::string& text);
    // Lifts the edit's default limit on the length of its text.
    void liftTextLimit();
    // Where the edit draws its text, in its client coordinates.
    RECT formattingRect() const;

    Selection selection() const;
    // Selects from `anchor` to `caret`, the caret at `caret`.
    void select(std::size_t anchor, std::size_t caret);
    void selectAll();
    // Scrolls the selection (its start) into view, a few lines inside the
    // field when the field has the room, rather than on its first or last
    // visible line.
    void scrollSelectionIntoView();
    // The part of the screen where the edit shows the bytes from `start` to
    // `end`, within the edit.
    RECT screenRectOf(std::size_t start, std::size_t end) const;

    // While on, the edit's selection shows even when another window, such
    // as the Find box, has the focus, drawn as the edit draws it with the
    // focus. An edit shows its selection only while it has the focus.
    void showSelectionWithoutFocus(bool show);

    // Makes the edit anew with other styles: an edit takes some of its
    // styles, word wrap among them, only when it is created. The new edit
    // takes the old one's place (size, control id, place in the window and
    // tab order, font, text limit, enabled and visible state, the borders
    // the dialog manager gave it) and what the user had in it (text,
    // modified flag, selection with the caret on its end, the first visible
    // line, the focus, what Undo would undo). False, with the old edit and
    // its text in place, when no edit could be made or it could not take
    // the text.
    bool recreate(DWORD addedStyles, DWORD removedStyles);

private:
    static LRESULT CALLBACK subclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR self);
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void detach();
    int firstVisibleLine() const;
    int lineHeight() const;
    void drawSelectionWithoutFocus() const;
    void takeUndo(const std::string& before, const std::string& after);

    HWND hwnd_ = nullptr;
    bool selectionShownWithoutFocus_ = false;
};
