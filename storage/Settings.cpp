#include "Settings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "RecordList.h"

namespace {

const char* const defaultFaceName = "Courier New";
constexpr int defaultPointSize = 10;

// The font as the file describes it, starting from the default font.
struct FontValues {
    std::string faceName = defaultFaceName;
    int pointSize = defaultPointSize;
    bool bold = false;
    bool italic = false;
};

// strtol with base 0, clamped to 32 bits whatever the width of long: hex
// after 0x, octal after a leading 0, trailing text ignored, 0 without digits.
std::int32_t number(const std::string& text) {
    long long value = std::strtoll(text.c_str(), nullptr, 0);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

bool flag(const std::string& text) {
    return text == "true";
}

std::string numberText(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return text;
}

std::string flagText(bool value) {
    return value ? "true" : "false";
}

std::string faceNameOf(const Font& font) {
    LOGFONTA description = {};
    GetObjectA(font.handle(), sizeof description, &description);
    return std::string(description.lfFaceName, strnlen(description.lfFaceName, LF_FACESIZE));
}

} // namespace

Settings::Settings(RecentFiles::SameName sameFileName)
    : font_(defaultFaceName, defaultPointSize, false, false), recentFiles_(sameFileName) {}

bool Settings::load(const std::string& path) {
    RecordList entries;
    if (!entries.load(path))
        return false;
    FontValues fontValues;
    wordWrap_ = false;
    for (const Record& entry : entries) {
        const std::string& key = entry.name();
        const std::string& value = entry.value();
        if (key == "color")
            textColor_ = static_cast<COLORREF>(number(value));
        else if (key == "backgroundColor")
            backgroundColor_ = static_cast<COLORREF>(number(value));
        else if (key == "fontName")
            fontValues.faceName = value;
        else if (key == "fontHeight")
            fontValues.pointSize = number(value);
        else if (key == "fontBold")
            fontValues.bold = flag(value);
        else if (key == "fontItalic")
            fontValues.italic = flag(value);
        else if (key == "windowX")
            windowX_ = number(value);
        else if (key == "windowY")
            windowY_ = number(value);
        else if (key == "windowWidth")
            windowWidth_ = number(value);
        else if (key == "windowHeight")
            windowHeight_ = number(value);
        else if (key == "windowMaximized")
            windowMaximized_ = flag(value);
        else if (key == "splitterX")
            splitterX_ = number(value);
        else if (key == "wordWrap")
            wordWrap_ = flag(value);
    }
    recentFiles_ = RecentFiles::fromEntries(entries, recentFiles_.sameName());
    font_.create(fontValues.faceName.c_str(), fontValues.pointSize, fontValues.bold, fontValues.italic);
    return true;
}

bool Settings::save(const std::string& path) const {
    RecordList entries;
    entries.append(Record("color", numberText(static_cast<std::int32_t>(textColor_))));
    entries.append(Record("backgroundColor", numberText(static_cast<std::int32_t>(backgroundColor_))));
    entries.append(Record("fontName", faceNameOf(font_)));
    entries.append(Record("fontHeight", numberText(font_.pointSize())));
    entries.append(Record("fontBold", flagText(font_.isBold())));
    entries.append(Record("fontItalic", flagText(font_.isItalic())));
    entries.append(Record("windowX", numberText(windowX_)));
    entries.append(Record("windowY", numberText(windowY_)));
    entries.append(Record("windowWidth", numberText(windowWidth_)));
    entries.append(Record("windowHeight", numberText(windowHeight_)));
    entries.append(Record("windowMaximized", flagText(windowMaximized_)));
    entries.append(Record("splitterX", numberText(splitterX_)));
    // Off is what a file without the key means: a program that never had it
    // on writes the same twelve entries as ever.
    if (wordWrap_)
        entries.append(Record("wordWrap", flagText(true)));
    recentFiles_.appendEntriesTo(entries);
    return entries.save(path);
}
