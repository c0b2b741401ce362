#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "HostWindow.h"
#include "RecordDialog.h"
#include "resource.h"
#include "support/Win32Test.h"

namespace {

// A rectangle of the template, in dialog units, as pixels of this panel.
RECT dialogUnitsToPixels(HWND panel, int left, int top, int right, int bottom) {
    RECT rect = {left, top, right, bottom};
    MapDialogRect(panel, &rect);
    return rect;
}

HFONT fontOf(HWND window) {
    return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
}

LOGFONTA describe(HFONT font) {
    LOGFONTA description = {};
    GetObjectA(font, sizeof description, &description);
    return description;
}

COLORREF brushColor(HBRUSH brush) {
    LOGBRUSH description = {};
    GetObjectA(brush, sizeof description, &description);
    return description.lbColor;
}

std::string lines(int count, int length) {
    std::string text;
    for (int line = 0; line < count; ++line) {
        if (line > 0)
            text += "\r\n";
        text += std::string(length, static_cast<char>('a' + line % 26));
    }
    return text;
}

// What the panel answered to one colour message from one of its children.
struct ColorAnswer {
    UINT message;
    HWND child;
    LRESULT brush;
};

// Replaces the panel's window procedure for a while to watch the colour
// messages that its edits send while they paint.
class ColorMessageRecorder {
public:
    explicit ColorMessageRecorder(HWND panel) : panel_(panel) {
        active = this;
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(panel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&recordingProc)));
    }
    ~ColorMessageRecorder() {
        SetWindowLongPtrA(panel_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        active = nullptr;
    }

    std::vector<ColorAnswer> answers;

private:
    static LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        LRESULT result = CallWindowProcA(active->original_, window, message, wParam, lParam);
        if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC)
            active->answers.push_back({message, reinterpret_cast<HWND>(lParam), result});
        return result;
    }

    static inline ColorMessageRecorder* active = nullptr;
    HWND panel_;
    WNDPROC original_;
};

class RecordDialogTest : public ::testing::Test {
protected:
    HostWindow host;
    RecordDialog panel{host.handle()};

    void repaintNow(HWND window) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        pumpMessages();
    }

    void resizePanel(int width, int height) {
        SetWindowPos(panel.hwnd(), nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE);
    }

    // The edits after a resize: the Value edit follows the right and bottom
    // edges, the Name edit only the right edge, at the same distance. A Name
    // edit `growth` pixels taller than its template puts the Value edit as
    // much lower.
    void expectEditsFollowTheClientArea(const RECT& nameBefore, int growth = 0) {
        RECT client;
        GetClientRect(panel.hwnd(), &client);
        RECT value = childRect(panel.hwnd(), panel.valueEdit());
        RECT name = childRect(panel.hwnd(), panel.nameEdit());
        EXPECT_EQ(panel.valueLeft(), value.left);
        EXPECT_EQ(panel.valueTop() + growth, value.top);
        EXPECT_EQ(client.right - panel.rightMargin(), value.right);
        EXPECT_EQ(client.bottom - panel.bottomMargin(), value.bottom);
        EXPECT_EQ(nameBefore.left, name.left);
        EXPECT_EQ(nameBefore.top, name.top);
        EXPECT_EQ(nameBefore.bottom - nameBefore.top + growth, name.bottom - name.top);
        EXPECT_EQ(value.right, name.right);
    }
};

TEST_F(RecordDialogTest, StartsHiddenInsideItsParentWithTheFocusOnAnEmptyValue) {
    ASSERT_NE(nullptr, panel.hwnd());
    EXPECT_FALSE(IsWindowVisible(panel.hwnd()));
    EXPECT_TRUE(IsWindowVisible(host.handle()));
    EXPECT_EQ(host.handle(), GetParent(panel.hwnd()));
    EXPECT_EQ("Record Properties", windowText(panel.hwnd()));
    EXPECT_EQ(&panel, GetPropA(panel.hwnd(), "A"));
    EXPECT_EQ(GetDlgItem(panel.hwnd(), IDC_NAME_EDIT), panel.nameEdit());
    EXPECT_EQ(GetDlgItem(panel.hwnd(), IDC_VALUE_EDIT), panel.valueEdit());
    EXPECT_EQ("", panel.nameText());
    EXPECT_EQ("", panel.valueText());

    // A control-parent without caption, so that Tab in the main window
    // reaches the edits.
    LONG_PTR style = GetWindowLongPtrA(panel.hwnd(), GWL_STYLE);
    LONG_PTR exStyle = GetWindowLongPtrA(panel.hwnd(), GWL_EXSTYLE);
    EXPECT_EQ(0, style & WS_CAPTION);
    EXPECT_EQ(WS_CHILD, style & WS_CHILD);
    EXPECT_EQ(WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE, exStyle & (WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE));

    EXPECT_EQ(panel.valueEdit(), GetFocus());
    DWORD start = 1, end = 2;
    SendMessageA(panel.valueEdit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, end);
}

TEST_F(RecordDialogTest, MeasuresTheTemplateLayoutInPixels) {
    RECT client;
    GetClientRect(panel.hwnd(), &client);
    RECT expectedClient = dialogUnitsToPixels(panel.hwnd(), 0, 0, 286, 150);
    EXPECT_EQ(expectedClient.right, client.right);
    EXPECT_EQ(expectedClient.bottom, client.bottom);

    RECT value = dialogUnitsToPixels(panel.hwnd(), 4, 36, 284, 148);
    EXPECT_EQ(value.left, panel.valueLeft());
    EXPECT_EQ(value.top, panel.valueTop());
    // Two dialog units on either side, converted where they stand.
    RECT margins = dialogUnitsToPixels(panel.hwnd(), 284, 148, 286, 150);
    EXPECT_EQ(margins.right - margins.left, panel.rightMargin());
    EXPECT_EQ(margins.bottom - margins.top, panel.bottomMargin());
    EXPECT_GT(panel.rightMargin(), 0);
    EXPECT_GT(panel.bottomMargin(), 0);

    // Until the first resize the Name edit keeps its template width.
    RECT name = childRect(panel.hwnd(), panel.nameEdit());
    EXPECT_EQ(dialogUnitsToPixels(panel.hwnd(), 32, 4, 196, 16).right, name.right);
}

TEST_F(RecordDialogTest, ResizeKeepsBothEditsTheSameDistanceFromTheRightEdge) {
    RECT nameBefore = childRect(panel.hwnd(), panel.nameEdit());
    int rightMargin = panel.rightMargin();

    resizePanel(600, 420);
    expectEditsFollowTheClientArea(nameBefore);
    resizePanel(350, 260);
    expectEditsFollowTheClientArea(nameBefore);

    // A font too tall for the Name edit makes it taller at once, the
    // template's margins stay, and a small font brings the template back.
    panel.setFont(Font("Courier New", 28, true, false));
    int growth = childRect(panel.hwnd(), panel.nameEdit()).bottom - nameBefore.bottom;
    EXPECT_GT(growth, 0);
    expectEditsFollowTheClientArea(nameBefore, growth);
    resizePanel(500, 300);
    expectEditsFollowTheClientArea(nameBefore, growth);
    EXPECT_EQ(rightMargin, panel.rightMargin());
    panel.setFont(Font("Courier New", 8, false, false));
    expectEditsFollowTheClientArea(nameBefore);
}

TEST_F(RecordDialogTest, TextsReadBackByteForByte) {
    const std::string value = "first line\r\nsecond {with} \\braces\\\r\n\r\n\tfourth=line ";
    panel.setNameText("A name = {1}");
    panel.setValueText(value);
    EXPECT_EQ("A name = {1}", panel.nameText());
    EXPECT_EQ(value, panel.valueText());
    EXPECT_EQ(4, SendMessageA(panel.valueEdit(), EM_GETLINECOUNT, 0, 0));

    const std::string longValue = lines(1000, 98);
    ASSERT_EQ(100000u - 2, longValue.size());
    panel.setValueText(longValue);
    EXPECT_EQ(longValue, panel.valueText());
    const std::string longName(100000, 'n');
    panel.setNameText(longName);
    EXPECT_EQ(longName, panel.nameText());

    panel.setNameText("");
    panel.setValueText("");
    EXPECT_EQ("", panel.nameText());
    EXPECT_EQ("", panel.valueText());
}

TEST_F(RecordDialogTest, TypingIsNotHeldToTheDefaultLimit) {
    // EM_REPLACESEL obeys the edit's text limit the way typing and pasting do.
    const std::string pasted(40000, 'x');
    SendMessageA(panel.nameEdit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
    SendMessageA(panel.valueEdit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
    EXPECT_EQ(pasted, panel.nameText());
    EXPECT_EQ(pasted, panel.valueText());
}

TEST_F(RecordDialogTest, EnabledEditsAreAnsweredInTheUsersColours) {
    HDC context = CreateCompatibleDC(nullptr);
    LRESULT brush = SendMessageA(panel.hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(context),
                                 reinterpret_cast<LPARAM>(panel.valueEdit()));
    EXPECT_EQ(RGB(255, 255, 255), brushColor(reinterpret_cast<HBRUSH>(brush)));
    EXPECT_EQ(RGB(0, 0, 0), GetTextColor(context));
    EXPECT_EQ(RGB(255, 255, 255), GetBkColor(context));

    panel.setTextColor(RGB(0x12, 0x34, 0x56));
    panel.setBackgroundColor(RGB(0xAB, 0xCD, 0x0F));
    brush = SendMessageA(panel.hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(context),
                         reinterpret_cast<LPARAM>(panel.nameEdit()));
    EXPECT_EQ(RGB(0xAB, 0xCD, 0x0F), brushColor(reinterpret_cast<HBRUSH>(brush)));
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), GetTextColor(context));
    EXPECT_EQ(RGB(0xAB, 0xCD, 0x0F), GetBkColor(context));

    // Static colours (labels, disabled edits) stay the system's.
    SetTextColor(context, RGB(1, 2, 3));
    brush = SendMessageA(panel.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                         reinterpret_cast<LPARAM>(panel.valueEdit()));
    EXPECT_NE(RGB(0xAB, 0xCD, 0x0F), brushColor(reinterpret_cast<HBRUSH>(brush)));
    EXPECT_NE(RGB(0x12, 0x34, 0x56), GetTextColor(context));
    DeleteDC(context);
}

TEST_F(RecordDialogTest, OnlyEnabledEditsPaintInTheUsersColours) {
    panel.setTextColor(RGB(0x12, 0x34, 0x56));
    panel.setBackgroundColor(RGB(0xAB, 0xCD, 0x0F));
    panel.show(true);
    pumpMessages();
    ColorMessageRecorder recorder(panel.hwnd());

    repaintNow(panel.valueEdit());
    ASSERT_FALSE(recorder.answers.empty());
    for (const ColorAnswer& answer : recorder.answers) {
        EXPECT_EQ(WM_CTLCOLOREDIT, answer.message);
        EXPECT_EQ(RGB(0xAB, 0xCD, 0x0F), brushColor(reinterpret_cast<HBRUSH>(answer.brush)));
    }

    recorder.answers.clear();
    EnableWindow(panel.valueEdit(), FALSE);
    repaintNow(panel.valueEdit());
    ASSERT_FALSE(recorder.answers.empty());
    for (const ColorAnswer& answer : recorder.answers) {
        EXPECT_EQ(WM_CTLCOLORSTATIC, answer.message);
        EXPECT_NE(RGB(0xAB, 0xCD, 0x0F), brushColor(reinterpret_cast<HBRUSH>(answer.brush)));
    }
}

TEST_F(RecordDialogTest, OnlyTheOwnerHidesThePanel) {
    panel.show(true);
    // What Esc (WM_CLOSE from the multi-line edit) and Enter send a dialog.
    SendMessageA(panel.hwnd(), WM_CLOSE, 0, 0);
    SendMessageA(panel.hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    SendMessageA(panel.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    pumpMessages();
    EXPECT_TRUE(IsWindowVisible(panel.hwnd()));

    panel.show(false);
    EXPECT_FALSE(IsWindowVisible(panel.hwnd()));
    panel.show(true);
    EXPECT_TRUE(IsWindowVisible(panel.hwnd()));
}

TEST_F(RecordDialogTest, EveryCommandIsAnsweredAndNoneActs) {
    panel.show(true);
    panel.setNameText("name");
    panel.setValueText("value");
    for (WPARAM command : {MAKEWPARAM(IDC_NAME_EDIT, EN_CHANGE), MAKEWPARAM(IDOK, BN_CLICKED), WPARAM{IDCANCEL}})
        EXPECT_EQ(TRUE, RecordDialog::dialogProc(panel.hwnd(), WM_COMMAND, command, 0)) << command;
    EXPECT_TRUE(IsWindowVisible(panel.hwnd()));
    EXPECT_EQ("name", panel.nameText());
    EXPECT_EQ("value", panel.valueText());
}

TEST_F(RecordDialogTest, KeepsItsOwnCopyOfTheFont) {
    HFONT labelFont = fontOf(GetDlgItem(panel.hwnd(), IDC_NAME_LABEL));
    HFONT given;
    LOGFONTA expected;
    {
        Font font("Courier New", 16, true, false);
        panel.setFont(font);
        given = font.handle();
        expected = describe(given);
    }
    HFONT nameFont = fontOf(panel.nameEdit());
    HFONT valueFont = fontOf(panel.valueEdit());
    EXPECT_NE(given, nameFont);
    EXPECT_EQ(nameFont, valueFont);
    // Still a live font after the caller's one is gone.
    LOGFONTA held = {};
    ASSERT_NE(0, GetObjectA(nameFont, sizeof held, &held));
    EXPECT_STREQ(expected.lfFaceName, held.lfFaceName);
    EXPECT_EQ(expected.lfHeight, held.lfHeight);
    EXPECT_EQ(expected.lfWeight, held.lfWeight);
    EXPECT_EQ(labelFont, fontOf(GetDlgItem(panel.hwnd(), IDC_NAME_LABEL)));
    EXPECT_EQ(labelFont, fontOf(GetDlgItem(panel.hwnd(), IDC_VALUE_LABEL)));
}

TEST_F(RecordDialogTest, FontThatCannotBeCopiedLeavesTheEditsAsTheyWere) {
    Font first("Courier New", 12, false, false);
    panel.setFont(first);
    HFONT before = fontOf(panel.nameEdit());

    Font gone("Courier New", 20, false, true);
    gone.destroy();
    panel.setFont(gone);
    EXPECT_EQ(before, fontOf(panel.nameEdit()));
    EXPECT_EQ(before, fontOf(panel.valueEdit()));
    LOGFONTA held = {};
    EXPECT_NE(0, GetObjectA(before, sizeof held, &held));
}

TEST_F(RecordDialogTest, WordWrapMakesTheValueEditAnewKeepingWhatTheUserHad) {
    panel.show(true);
    panel.setFont(Font("Courier New", 12, false, false));
    std::string value = lines(40, 8) + "\r\n";
    for (int word = 0; word < 60; ++word)
        value += " word";
    panel.setValueText(value);
    SendMessageA(panel.valueEdit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("typed "));
    LONG styles[] = {GetWindowLongA(panel.valueEdit(), GWL_STYLE), GetWindowLongA(panel.valueEdit(), GWL_EXSTYLE)};
    for (bool wrap : {true, false}) {
        HWND before = panel.valueEdit();
        HFONT font = fontOf(before);
        SetFocus(before);
        SendMessageA(before, EM_SETSEL, 30, 12); // the caret at the start
        SendMessageA(before, EM_LINESCROLL, 0, 20 - SendMessageA(before, EM_GETFIRSTVISIBLELINE, 0, 0));
        SendMessageA(before, EM_SETMODIFY, TRUE, 0);
        ASSERT_TRUE(panel.setWordWrap(wrap));
        HWND after = panel.valueEdit();
        EXPECT_EQ(wrap, panel.wordWrap());
        EXPECT_EQ(wrap, SendMessageA(after, EM_GETLINECOUNT, 0, 0) > 41);
        EXPECT_EQ("typed " + value, panel.valueText());
        EXPECT_EQ(after, GetFocus());
        EXPECT_EQ(font, fontOf(after));
        EXPECT_EQ(20, SendMessageA(after, EM_GETFIRSTVISIBLELINE, 0, 0));
        EXPECT_TRUE(SendMessageA(after, EM_GETMODIFY, 0, 0));
        ModifierKeys shift(FSHIFT);
        SendMessageA(after, WM_KEYDOWN, VK_RIGHT, 1);
        DWORD start = 0, end = 0;
        SendMessageA(after, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(13u, start);
        EXPECT_EQ(30u, end);
        SendMessageA(after, EM_UNDO, 0, 0); // what was typed before the switch, then again
        EXPECT_EQ(value, panel.valueText());
        SendMessageA(after, EM_UNDO, 0, 0);
    }
    EXPECT_EQ(styles[0], GetWindowLongA(panel.valueEdit(), GWL_STYLE));
    EXPECT_EQ(styles[1], GetWindowLongA(panel.valueEdit(), GWL_EXSTYLE));
}

TEST(RecordDialogLifetime, DestructorDestroysThePanel) {
    HostWindow host;
    auto* panel = new RecordDialog(host.handle());
    HWND window = panel->hwnd();
    ASSERT_TRUE(IsWindow(window));
    delete panel;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(IsWindow(host.handle()));
}

TEST(RecordDialogLifetime, PanelDestroyedWithItsParentIsForgotten) {
    HostWindow host;
    RecordDialog panel(host.handle());
    HWND window = panel.hwnd();
    host.destroy();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, panel.hwnd());
    EXPECT_EQ("", panel.valueText());
}

} // namespace
