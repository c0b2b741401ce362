#include "GdiTestSupport.h"

namespace {

// Far more than the table holds (about 65,000 under Wine, 10,000 by
// default on Windows).
constexpr int fillLimit = 1 << 20;

} // namespace

GdiHandleFiller::GdiHandleFiller() {
    while (brushes_.size() < fillLimit) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (!brush) {
            full_ = true;
            return;
        }
        brushes_.push_back(brush);
    }
}

GdiHandleFiller::~GdiHandleFiller() {
    for (HBRUSH brush : brushes_)
        DeleteObject(brush);
}

LOGFONTA logicalFontOf(HFONT font) {
    LOGFONTA description = {};
    GetObjectA(font, sizeof description, &description);
    return description;
}

std::string faceNameOf(HFONT font) {
    return logicalFontOf(font).lfFaceName;
}

bool isGdiObject(HGDIOBJ object) {
    return GetObjectType(object) != 0;
}

HFONT stockGuiFont() {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}
