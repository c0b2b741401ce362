#pragma once

#include <string>

#include "Font.h"
#include "RecentFiles.h"

// The user's preferences between runs: colours, font, main window placement,
// splitter position, word wrap and the files used last. Stored as a small file of records, one per key, in
// the database format; nothing is range-checked.
class Settings {
public:
    // The recent files are compared as sameFileName compares names.
    explicit Settings(RecentFiles::SameName sameFileName = RecentFiles::sameIgnoringAsciiCase);

    // False, with nothing changed, when the file cannot be read. Keys that
    // are missing keep their values; the font is always made anew from the
    // file's font entries (or the default font's values), and word wrap and
    // the recent files are what the file says (off and none without keys).
    bool load(const std::string& path);
    // Writes every key in its fixed order, then word wrap when it is
    // on and the recent files; false when the file could not be written.
    bool save(const std::string& path) const;

    const Font& font() const { return font_; }
    COLORREF textColor() const { return textColor_; }
    COLORREF backgroundColor() const { return backgroundColor_; }
    int windowX() const { return windowX_; }
    int windowY() const { return windowY_; }
    int windowWidth() const { return windowWidth_; }
    int windowHeight() const { return windowHeight_; }
    bool windowMaximized() const { return windowMaximized_; }
    int splitterX() const { return splitterX_; }
    bool wordWrap() const { return wordWrap_; }
    const RecentFiles& recentFiles() const { return recentFiles_; }

    // Copies the font; the held one stays when the copy cannot be made.
    void setFont(const Font& font) { font_ = font; }
    void setTextColor(COLORREF color) { textColor_ = color; }
    void setBackgroundColor(COLORREF color) { backgroundColor_ = color; }
    void setWindowX(int x) { windowX_ = x; }
    void setWindowY(int y) { windowY_ = y; }
    void setWindowWidth(int width) { windowWidth_ = width; }
    void setWindowHeight(int height) { windowHeight_ = height; }
    void setWindowMaximized(bool maximized) { windowMaximized_ = maximized; }
    void setSplitterX(int x) { splitterX_ = x; }
    void setWordWrap(bool wrap) { wordWrap_ = wrap; }
    void setRecentFiles(const RecentFiles& files) { recentFiles_ = files; }

private:
    Font font_;
    COLORREF textColor_ = 0;
    COLORREF backgroundColor_ = 0x00FFFFFF;
    int windowX_ = 0;
    int windowY_ = 0;
    int windowWidth_ = 400;
    int windowHeight_ = 300;
    bool windowMaximized_ = false;
    int splitterX_ = 200;
    bool wordWrap_ = false;
    RecentFiles recentFiles_;
};
