#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "App.h"
#include "FigureTable.h"
#include "ResponseWatch.h"
#include "WorkingFolder.h"

// One run of the program benchmark over a database file, in a process of
// its own: the real App, in a fresh working folder, driven through the
// calls and messages that the user's actions produce, timed from the call
// until the list box holds the result; then the floors of the same work
// (raw file read and write, the same work on bare controls) on the same
// bytes and names. Another process watches meanwhile how long the window
// leaves the system's messages unanswered during each long action.
class ProgramRun {
public:
    explicit ProgramRun(const std::string& database);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    std::vector<Figure> measure();

private:
    void startApp();
    void stopApp();
    void drain();
    void openFromCommandLine();
    void sort(int command, const char* figure);
    void save();
    void typeInName();
    void changeSelection();
    void findNothing();
    void removeAll();
    void startNew();
    void useBareControls();
    void readAndWriteRaw();
    void handleRecordsAlone();
    void openWithOpenCommand();

    HWND listBox() const { return app_->listBoxHandle(); }
    void selectItem(int index);
    void clickItem(int index);
    bool listMatchesRecords() const;
    void add(const char* name, double value) { figures_.push_back({name, value}); }
    // Times a long action and marks it for the watch: its figure and its
    // longest unanswered message.
    template <class Action>
    void timeLongAction(const char* figure, Action action);
    void warn(const char* what) const;

    std::string source_;
    WorkingFolder folder_;
    std::string database_;
    std::unique_ptr<App> app_;
    std::unique_ptr<ResponseWatch> watch_;
    int apps_ = 0;
    std::vector<Figure> figures_;
};
