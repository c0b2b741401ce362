#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "AcceleratorTable.h"
#include "ColorValue.h"
#include "Font.h"
#include "RecordDialog.h"
#include "RecordList.h"
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
    HWND listBoxHandle() const { return listBox; }
    RecordDialog& recordPanel() const { return *editor; }
    const RecordList& recordList() const { return records; }
    const std::string& currentFileName() const { return fileName; }
    int shownIndex() const { return currentIndex; }
    int draggedIndex() const { return dragSourceIndex; }
    const Settings& preferences() const { return settings; }
    const Splitter& splitterBar() const { return splitter; }
    const Font& listFont() const { return font; }
    COLORREF currentTextColor() const { return textColor.get(); }
    COLORREF currentBackgroundColor() const { return backgroundColor.get(); }
    COLORREF listBrushColor() const { return backgroundBrush.color(); }
    HMENU contextMenuHandle() const { return contextMenu; }
    UINT dragListMessageId() const { return dragListMessage; }

private:
    // Start-up
    void createListBox();
    void createEditor();
    void applySavedPlacement();

    // Main window messages
    void onMove();
    void onSize(WPARAM wParam, LPARAM lParam);
    void onInitMenuPopup();
    HBRUSH onCtlColorListBox(HDC dc);
    LRESULT onDragList(const DRAGLISTINFO& info);

    // Commands
    void onCommand(WPARAM wParam, LPARAM lParam);
    void onNew();
    void onOpen();
    void onSave();
    void onSaveAs();
    void onDropFiles(HDROP drop);
    void onAdd();
    void onRemove();
    void onRemoveAll();
    void onSortAscending();
    void onSortDescending();
    void onFont();
    void onTextColor();
    void onBackgroundColor();
    void onSelectAll();
    void onAbout();
    void setTitle();
    void showError(const char* text);

    // Keeping the list box and the panel in step with the records
    void showSelection();
    void commitEditor();
    void trackNameEdit();
    void onSelectionChange();
    void refillList();
    LRESULT sendToList(UINT message, WPARAM wParam, LPARAM lParam) const;
    int selection() const;
    void setSelection(int index);
    void deleteItem(int index);
    void insertItem(int index, const std::string& name);
    std::string itemText(int index) const;
    void renewItem(int index, const std::string& name, bool select);

    // Drag reordering and the context menu
    LRESULT onBeginDrag(const DRAGLISTINFO& info);
    LRESULT onDragging(const DRAGLISTINFO& info);
    LRESULT onDropped(const DRAGLISTINFO& info);
    void eraseInsertionMark();
    void showContextMenu();
    int itemAt(POINT screenPoint, bool autoScroll) const;

    Splitter splitter;
    int currentIndex = -1;
    Window mainWindow;
    HWND listBox = nullptr;
    // The list box's own procedure, from before the drag list subclassed it.
    WNDPROC listBoxProc = nullptr;
    std::string fileName;
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
    // Set while the App is being destroyed: the members may already be
    // gone, so the main window's last messages get default handling.
    bool closing = false;
};
