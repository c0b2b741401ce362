#pragma once

#include <windows.h>

// Owns one GDI font. Starts from the stock DEFAULT_GUI_FONT and replaces it
// only when a new font was made, so the handle is never null until
// destroy(). Copies make their own font from the source's LOGFONTA: two
// Font objects never share a handle.
class Font {
public:
    Font();
    Font(const char* faceName, int pointSize, bool bold, bool italic);
    Font(const Font& other);
    explicit Font(HFONT other);
    ~Font();

    // Copies; the held font stays when the copy cannot be made.
    Font& operator=(const Font& other);
    Font& operator=(HFONT other);

    // CreateFontA with the size in points at the screen's resolution; false
    // (held font kept) when no font could be made.
    bool create(const char* faceName, int pointSize, bool bold, bool italic);
    // Deletes the font; false when nothing was held.
    BOOL destroy();

    // Character height (without internal leading) in points.
    int pointSize() const;
    // Height in pixels of a line of text in the font: what a one-line edit
    // needs inside its borders and margins to show the line whole.
    int lineHeight() const;
    bool isBold() const;
    bool isItalic() const;

    // Sends WM_SETFONT with the held font to the window.
    LRESULT applyTo(HWND window, bool redraw) const;
    // Runs the font dialog, starting from the held font; true when the user
    // chose a font and it was made.
    bool choose(HWND owner);

    HFONT handle() const { return handle_; }

private:
    TEXTMETRICA metrics() const;
    bool copyFrom(HFONT source);
    bool createFrom(const LOGFONTA& description);
    void replace(HFONT font);

    HFONT handle_;
};
