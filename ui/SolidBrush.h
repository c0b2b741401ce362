#pragma once

#include <windows.h>

// Owns one GDI solid brush. Starts from the stock BLACK_BRUSH and replaces
// it only when a new brush was made; the handle is never null until
// release(). The brush is deleted with the object.
class SolidBrush {
public:
    explicit SolidBrush(COLORREF color);
    ~SolidBrush();
    SolidBrush(const SolidBrush&) = delete;
    SolidBrush& operator=(const SolidBrush&) = delete;

    // False (held brush kept) when no brush could be made.
    bool create(COLORREF color);
    COLORREF color() const;
    HBRUSH handle() const { return handle_; }
    // Deletes the brush; false when nothing was held.
    BOOL release();

private:
    HBRUSH handle_;
};
