#include "ScreenScale.h"

ScreenScale::ScreenScale() {
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
}
