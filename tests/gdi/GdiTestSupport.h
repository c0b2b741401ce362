#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Fills this process's GDI handle table with brushes, so that every
// creation of a font or brush fails while the object lives.
class GdiHandleFiller {
public:
    GdiHandleFiller();
    ~GdiHandleFiller();
    GdiHandleFiller(const GdiHandleFiller&) = delete;
    GdiHandleFiller& operator=(const GdiHandleFiller&) = delete;

    bool full() const { return full_; }

private:
    std::vector<HBRUSH> brushes_;
    bool full_ = false;
};

LOGFONTA logicalFontOf(HFONT font);
std::string faceNameOf(HFONT font);
bool isGdiObject(HGDIOBJ object);
HFONT stockGuiFont();
