#include "ColorValue.h"

#include <commdlg.h>

ColorValue::ColorValue(COLORREF color) : color_(color), customColors_{} {}

ColorValue& ColorValue::set(COLORREF color) {
    color_ = color;
    return *this;
}

bool ColorValue::choose(HWND owner) {
    CHOOSECOLORA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.rgbResult = color_;
    // The dialog reads and writes this object's own row of custom colours.
    dialog.lpCustColors = customColors_;
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (!ChooseColorA(&dialog))
        return false;
    color_ = dialog.rgbResult;
    return true;
}
