#include "SolidBrush.h"

SolidBrush::SolidBrush(COLORREF color) : handle_(static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))) {
    create(color);
}

SolidBrush::~SolidBrush() {
    release();
}

bool SolidBrush::create(COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush)
        return false;
    // Deleting the stock brush is harmless: GDI ignores it.
    if (handle_)
        DeleteObject(handle_);
    handle_ = brush;
    return true;
}

COLORREF SolidBrush::color() const {
    LOGBRUSH description = {};
    GetObjectA(handle_, sizeof description, &description);
    return description.lbColor;
}

BOOL SolidBrush::release() {
    if (!handle_)
        return FALSE;
    BOOL deleted = DeleteObject(handle_);
    handle_ = nullptr;
    return deleted;
}
