#pragma once

#include <windows.h>

// The screen's resolution. The program declares itself DPI aware, so the
// system scales nothing for it: the sizes it chooses itself in pixels are
// given for 96 dots per inch (100 %) and scaled here to the screen.
class ScreenScale {
public:
    // Reads the screen's dots per inch (LOGPIXELSY).
    ScreenScale();

    int dpi() const { return dpi_; }
    // A size given in pixels at 96 dpi, in pixels of this screen.
    int pixels(int pixelsAt96Dpi) const { return MulDiv(pixelsAt96Dpi, dpi_, 96); }

private:
    int dpi_;
};
