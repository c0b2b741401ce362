#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "HostWindow.h"
#include "RecordDialog.h"
#include "resource.h"

// The record panel's template as the program carries it, read back from the
// module the way the dialog manager reads it (extended template layout).

namespace {

// Reads the fields of an extended dialog template in order.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* start) : start_(start), at_(start) {}

    WORD word() { return take<WORD>(); }
    DWORD dword() { return take<DWORD>(); }
    short coordinate() { return take<short>(); }
    BYTE byte() { return take<BYTE>(); }

    // A name or ordinal: ordinals come back as "#number", except the
    // system's atoms for Edit and Static, which come back as those names.
    std::string nameOrOrdinal() {
        const BYTE* peek = at_;
        WORD first;
        std::memcpy(&first, peek, sizeof first);
        if (first == 0xFFFF) {
            word();
            WORD ordinal = word();
            if (ordinal == 0x0081)
                return "Edit";
            if (ordinal == 0x0082)
                return "Static";
            return "#" + std::to_string(ordinal);
        }
        return text();
    }

    // A NUL-terminated UTF-16 string, narrowed (the template's texts are ASCII).
    std::string text() {
        std::string narrow;
        for (WORD unit = word(); unit != 0; unit = word())
            narrow += static_cast<char>(unit);
        return narrow;
    }

    void alignToDword() {
        while ((at_ - start_) % 4 != 0)
            ++at_;
    }

private:
    template <typename T>
    T take() {
        T value;
        std::memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }

    const BYTE* start_;
    const BYTE* at_;
};

// Styles read best in hexadecimal when they differ.
std::string hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

const BYTE* recordTemplate() {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_RECORD), MAKEINTRESOURCEA(5));
    if (!resource)
        return nullptr;
    return static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
}

struct ExpectedControl {
    const char* className;
    int id;
    const char* text;
    short x, y, width, height;
    DWORD style;
};

// In template order, which is the tab order.
const ExpectedControl expectedControls[] = {
    {"Static", IDC_NAME_LABEL, "&Name:", 4, 4, 24, 12, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_CENTERIMAGE},
    {"Edit", IDC_NAME_EDIT, "", 32, 4, 164, 12, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {"Static", IDC_VALUE_LABEL, "V&alue:", 4, 20, 24, 12, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_CENTERIMAGE},
    {"Edit", IDC_VALUE_EDIT, "", 4, 36, 280, 112,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL |
         ES_AUTOHSCROLL | ES_WANTRETURN},
};

TEST(DialogTemplate, HeaderDescribesAHiddenChildPanelInEightPointMsSansSerif) {
    const BYTE* data = recordTemplate();
    ASSERT_NE(nullptr, data);
    TemplateReader reader(data);
    EXPECT_EQ(1, reader.word());            // version
    EXPECT_EQ(0xFFFF, reader.word());       // extended template
    EXPECT_EQ(0u, reader.dword());          // help id
    EXPECT_EQ(hex(WS_EX_CLIENTEDGE), hex(reader.dword()));
    EXPECT_EQ(hex(WS_CHILD | WS_CAPTION | DS_CONTROL | DS_SETFONT), hex(reader.dword())); // no WS_VISIBLE
    EXPECT_EQ(4, reader.word());
    EXPECT_EQ(6, reader.coordinate());
    EXPECT_EQ(18, reader.coordinate());
    EXPECT_EQ(286, reader.coordinate());
    EXPECT_EQ(150, reader.coordinate());
    EXPECT_EQ("", reader.nameOrOrdinal()); // no menu
    EXPECT_EQ("", reader.nameOrOrdinal()); // the default dialog class
    EXPECT_EQ("Record Properties", reader.text());
    EXPECT_EQ(8, reader.word());
    EXPECT_EQ(0, reader.word()); // weight
    EXPECT_EQ(0, reader.byte()); // not italic
    EXPECT_EQ(1, reader.byte()); // DEFAULT_CHARSET
    EXPECT_EQ("MS Sans Serif", reader.text());
}

TEST(DialogTemplate, ControlsStandInTabOrderWithTheirExactStyles) {
    const BYTE* data = recordTemplate();
    ASSERT_NE(nullptr, data);
    TemplateReader reader(data);
    reader.word();
    reader.word();
    reader.dword();
    reader.dword();
    reader.dword();
    ASSERT_EQ(4, reader.word());
    for (int field = 0; field < 4; ++field)
        reader.coordinate();
    reader.nameOrOrdinal();
    reader.nameOrOrdinal();
    reader.text();
    reader.word();
    reader.word();
    reader.byte();
    reader.byte();
    reader.text();

    for (const ExpectedControl& expected : expectedControls) {
        SCOPED_TRACE(expected.id);
        reader.alignToDword();
        EXPECT_EQ(0u, reader.dword()); // help id
        EXPECT_EQ(hex(0), hex(reader.dword())); // extended style
        EXPECT_EQ(hex(expected.style), hex(reader.dword()));
        EXPECT_EQ(expected.x, reader.coordinate());
        EXPECT_EQ(expected.y, reader.coordinate());
        EXPECT_EQ(expected.width, reader.coordinate());
        EXPECT_EQ(expected.height, reader.coordinate());
        EXPECT_EQ(static_cast<DWORD>(expected.id), reader.dword());
        EXPECT_EQ(expected.className, reader.nameOrOrdinal());
        EXPECT_EQ(expected.text, reader.nameOrOrdinal());
        EXPECT_EQ(0, reader.word()); // no creation data
    }
}

// The Value edit made anew for word wrap stands where the template's stood.
TEST(DialogTemplate, PanelCreatesItsControlsInTemplateOrder) {
    HostWindow host;
    RecordDialog panel(host.handle());
    for (bool wrap : {false, true}) {
        ASSERT_TRUE(panel.setWordWrap(wrap));
        HWND child = GetWindow(panel.hwnd(), GW_CHILD);
        for (const ExpectedControl& expected : expectedControls) {
            SCOPED_TRACE(expected.id);
            ASSERT_NE(nullptr, child);
            char className[32] = {};
            GetClassNameA(child, className, sizeof className);
            EXPECT_STRCASEEQ(expected.className, className);
            EXPECT_EQ(expected.id, GetDlgCtrlID(child));
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(nullptr, child);
        EXPECT_EQ(panel.valueEdit(), GetDlgItem(panel.hwnd(), IDC_VALUE_EDIT));
        EXPECT_EQ(panel.valueEdit(), GetNextDlgTabItem(panel.hwnd(), panel.nameEdit(), FALSE));
        EXPECT_EQ(panel.nameEdit(), GetNextDlgTabItem(panel.hwnd(), panel.valueEdit(), FALSE));
    }
}

} // namespace
