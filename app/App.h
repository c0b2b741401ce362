#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>

#include "AcceleratorTable.h"
#include "EditControl.h"
#include "ColorValue.h"
#include "FindDialog.h"
#include "Font.h"
#include "ListBox.h"
#include "RecordDialog.h"
#include "RecordList.h"
#include "RecordSearch.h"
#include "Settings.h"
#include "SolidBrush.h"
#include "Splitter.h"
#include "Window.h"

// The application: the main window with the list of record names on the
// left, the record panel on the right and the splitter between them; the
// records in memory and the file they came from; the preferences. One App
// exists for the life of the process.
//
// Item i of the list box is always the name of record i. currentIndex is
// the record the panel shows (-1: none, panel empty and disabled);
// commitEditor() writes the panel back into that record and showSelection()
// fills the panel from the list box's selection.
class App {
public:
    App();
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Opens the file named on the command line, then runs the message loop
    // until the quit message; returns the exit code.
    int run();

    // The yes/no question box: true when the user answers Yes.
    bool confirm(const char* question);
    // Asks, then stores the preferences, saves "settings.txt" and posts the
    // quit message. The database itself is not saved.
    void requestExit();

    // Runs the message loop until the quit message; returns its exit code.
    int messageLoop();

    // Opens a database file: true when it is now the current file.
    bool openFile(const std::string& path);
    // Opens the first command-line argument when there is one and it is not
    // empty; tells the user (the path as the message) when that fails.
    void openCommandLine(int argc, char** argv);
    // One message of the loop: the keys and clicks the application takes
    // for itself, then accelerators, dialog navigation or dispatch, then
    // name tracking.
    void processMessage(MSG& msg);

    LRESULT onMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // Read access for tests and tools.
    HWND mainWindowHandle() const { return mainWindow.hwnd; }
    HWND listBoxHandle() const { return listBox.hwnd(); }
    RecordDialog& recordDialog() const { return *editor; }
    const RecordList& recordList() const { return records; }
    const std::string& currentFileName() const { return fileName; }
    int shownIndex() const { return currentIndex; }
    // The item the last drag began on: -1 once a drop moved it or when no
    // drag began; kept after a drop that moved nothing.
    int lastDragSource() const { return dragSourceIndex; }
    const Settings& preferences() const { return settings; }
    const Splitter& splitterBar() const { return splitter; }
    const Font& listFont() const { return font; }
    COLORREF currentTextColor() const { return textColor.get(); }
    COLORREF currentBackgroundColor() const { return backgroundColor.get(); }
    COLORREF listBrushColor() const { return backgroundBrush.color(); }
    HMENU contextMenuHandle() const { return contextMenu; }
    UINT dragListMessageId() const { return dragListMessage; }
    HWND findBoxHandle() const { return findDialog.hwnd(); }

private:
    // Start-up, loop and exit (App.cpp)
    void createListBox();
    void createEditor();
    void showError(const char* text);
    void onEndSession(bool ending);
    void savePreferences();

    // Routing the main window's messages and commands (AppMessages.cpp)
    LRESULT routeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(WPARAM wParam, LPARAM lParam);
    void reportOutOfMemory();
    void onSize(WPARAM wParam, LPARAM lParam);
    void onInitMenuPopup();
    HBRUSH onCtlColorListBox(HDC dc);

    // Where the keyboard focus goes (AppFocus.cpp)
    LRESULT onActivate(HWND hwnd, WPARAM wParam, LPARAM lParam);
    LRESULT onSysCommand(HWND hwnd, WPARAM wParam, LPARAM lParam);
    void rememberFocus();
    bool restoreFocus();
    void keepKeyboardFocus();
    void onDialogNavigation(const MSG& msg, HWND focusBefore);
    bool onAccessKey(const MSG& msg);
    void showValueStart();

    // The window's first layout and its placement (AppPlacement.cpp)
    void applyFirstStartLayout();
    void applySavedPlacement();
    void onMove();
    void recordWindowState(WPARAM sizeType);
    void recordPlacement(bool withSize);
    void storeSplitterPosition();
    void onGetMinMaxInfo(MINMAXINFO& limits) const;
    int menuBarWidth() const;

    // The list box and the panel in step with the records (AppPanelSync.cpp)
    void showSelection();
    void commitEditor();
    void trackNameEdit(const MSG& msg);
    void takeNameEditText();
    void onSelectionChange();
    void refillList(const Progress& progress);
    void showItem(int item);

    // File commands and the title (AppFileCommands.cpp)
    void onNew();
    void onOpen();
    void onSave();
    void onSaveAs();
    bool saveOver(const std::string& path);
    bool isCurrentFile(const std::string& path) const;
    void onDropFiles(HDROP drop);
    bool loadFile(const std::string& path, LoadReport& report);
    bool saveTo(const std::string& path);
    std::string windowTitle() const;
    void setTitle();

    // The share of an open or a sort of a large database that filling the
    // list takes: nearly all of it.
    static constexpr double fillShare = 0.9;

    // Record commands (AppRecordCommands.cpp)
    void onAdd();
    void onRemove();
    void onRemoveAll();
    void clearRecords();
    void onSortAscending();
    void onSortDescending();
    void sortRecords(bool descending);
    void onMoveUp();
    void onMoveDown();
    bool canMoveSelected(int step) const;
    void moveSelected(int step);
    void moveRecord(int from, int to);

    // Finding text in the records (AppFindCommands.cpp)
    static LeadBytes codePageLeadBytes();
    void onFind();
    void showSelectionsWithoutFocus(bool show);
    void onFindAgain(RecordSearch::Direction direction);
    void onFindNotification(LPARAM lParam);
    void search(RecordSearch::Direction direction, bool focusMatch);
    TextPlace searchStart(RecordSearch::Direction direction) const;
    EditControl& matchField() const;
    void reportNotFound();

    // View commands (AppViewCommands.cpp)
    void onFont();
    void onTextColor();
    void onBackgroundColor();
    void onSelectAll();

    // The Help menu (AppHelpCommands.cpp)
    void onUserGuide();
    void onAbout();

    // Drag reordering and the context menu (AppDragging.cpp)
    bool isOwnDragNotification(LPARAM lParam) const;
    LRESULT onDragListMessage(LPARAM lParam);
    LRESULT onDragList(const DRAGLISTINFO& info);
    LRESULT onBeginDrag(const DRAGLISTINFO& info);
    LRESULT onDragging(const DRAGLISTINFO& info);
    LRESULT onDropped(const DRAGLISTINFO& info);
    void eraseInsertionMark();
    void showContextMenu();
    void showContextMenuForSelection();
    void trackContextMenu(POINT position);
    void drawInsertionMark(int item);

    // Word wrap in the Value edit (AppWordWrap.cpp)
    void onWordWrap();
    void applyWordWrap(bool wrap);

    // The File menu's list of the files used last (AppRecentFiles.cpp)
    void rememberRecentFile(const std::string& path);
    void forgetRecentFile(const std::string& path);
    void showRecentFiles();
    void onRecentFile(std::size_t position);

    Splitter splitter;
    int currentIndex = -1;
    Window mainWindow;
    ListBox listBox;
    std::string fileName;
    // Whether the current file warned as it opened that a save over it
    // would change it, and nothing has been saved since.
    bool fileWarnedOnOpen = false;
    RecordList records;
    Font font;
    std::unique_ptr<RecordDialog> editor;
    SolidBrush backgroundBrush;
    ColorValue textColor;
    ColorValue backgroundColor;
    AcceleratorTable accelerators;
    UINT dragListMessage = 0;
    Settings settings;
    HMENU contextMenu = nullptr;
    int dragSourceIndex = -1;
    // The list item whose top edge has the insertion mark of the drag under
    // way; -1 when none.
    int markedItem = -1;
    // Set while a drag notification of the list box is being handled.
    bool handlingDragNotification = false;
    // The window of ours that had the focus when the main window was last
    // deactivated; it gets the focus back on activation.
    HWND focusToRestore = nullptr;
    // Set while the App is being destroyed: the members may already be
    // gone, so the main window's last messages get default handling.
    bool closing = false;
    // Members go in reverse order: the box goes before its owner, the main
    // window.
    FindDialog findDialog;
    // Where the last search found its text, in the record the panel shows,
    // and the text's length; none once the panel shows another record.
    std::optional<TextPlace> shownMatch;
    std::size_t shownMatchLength = 0;
    // A match on a double-byte code page is made of whole characters.
    const LeadBytes leadBytes = codePageLeadBytes();
};
