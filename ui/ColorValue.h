#pragma once

#include <windows.h>

// A colour and the 16 custom colours of its colour dialog. Each ColorValue
// keeps its own custom colours (in memory only) for the rest of the run.
class ColorValue {
public:
    static constexpr int customColorCount = 16;

    explicit ColorValue(COLORREF color = 0);

    COLORREF get() const { return color_; }
    ColorValue& set(COLORREF color);
    COLORREF* customColors() { return customColors_; }
    const COLORREF* customColors() const { return customColors_; }

    // Runs the colour dialog, fully open with the colour selected; true
    // when the user pressed OK, and the colour is then the chosen one.
    bool choose(HWND owner);

private:
    COLORREF color_;
    COLORREF customColors_[customColorCount];
};
