#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The floors of the program's window work: a plain LISTBOX with the
// program's scroll bars but no subclassing (no drag list), no font and no
// notifications, and a plain multi-line EDIT with the Value edit's styles,
// side by side in a plain top-level window of the program's first size. The
// window (and the controls with it) goes when the object goes.
class BareControls {
public:
    BareControls();
    ~BareControls();
    BareControls(const BareControls&) = delete;
    BareControls& operator=(const BareControls&) = delete;

    // Empties the list box and adds the names in order with redraw off, as
    // a refill of the program does; the list box is repainted afterwards.
    void fill(const std::vector<std::string>& names);
    // Replaces the text of an item as the program must (there is no message
    // for it): delete, insert, select again, then handle the repaints.
    void renewItem(int index, const char* text);
    // Sets the edit's text and handles the repaints.
    void setEditText(const char* text);
    int count() const;

private:
    HWND frame_ = nullptr;
    HWND listBox_ = nullptr;
    HWND edit_ = nullptr;
};
