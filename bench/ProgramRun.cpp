#include "ProgramRun.h"

#include <windows.h>

#include <io.h>
#include <psapi.h>

#include <cstdio>
#include <filesystem>

#include "BareControls.h"
#include "DatabaseGenerator.h"
#include "MemchrScan.h"
#include "RecordList.h"
#include "RecordSearch.h"
#include "Stopwatch.h"
#include "resource.h"

namespace {

// Interactive figures are the median of this many actions.
constexpr int actionSamples = 9;
constexpr std::size_t rawBlockSize = 1 << 20;

// The "Find what" edit of the system's Find box.
constexpr int findWhatEdit = 0x480;

// A message box that opens on this thread stops the watch and is closed.
struct MessageWatch {
    HWND box = nullptr; // the Find box, which is no message box
    Stopwatch* watch = nullptr;
    double seconds = -1;
};
thread_local MessageWatch messageWatch;

LRESULT CALLBACK watchMessages(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && window != messageWatch.box && messageWatch.seconds < 0 && messageWatch.watch) {
        messageWatch.seconds = messageWatch.watch->seconds();
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Answers the question of Remove All and New with Yes.
LRESULT CALLBACK answerYes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE)
        PostMessageA(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDYES, 0);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

SIZE_T peakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

std::vector<std::string> namesOf(const RecordList& records) {
    std::vector<std::string> names;
    names.reserve(records.size());
    for (const Record& record : records)
        names.push_back(record.name());
    return names;
}

} // namespace

ProgramRun::ProgramRun(const std::string& database)
    : source_(database), database_(folder_.file("database.txt")) {}

ProgramRun::~ProgramRun() {
    stopApp();
}

std::vector<Figure> ProgramRun::measure() {
    // The copy is what the program opens and saves over; the source stays
    // the same for every run.
    CopyFileA(source_.c_str(), database_.c_str(), FALSE);
    add("file_size", static_cast<double>(std::filesystem::file_size(source_)));

    startApp();
    SIZE_T empty = peakWorkingSet();
    openFromCommandLine();
    add("memory_above_empty", static_cast<double>(peakWorkingSet() - empty));
    add("records", static_cast<double>(app_->recordList().size()));

    sort(IDM_SORT_ASCENDING, "sort_ascending");
    sort(IDM_SORT_DESCENDING, "sort_descending");
    save();
    typeInName();
    changeSelection();
    findNothing();
    removeAll();
    stopApp();

    useBareControls();
    readAndWriteRaw();
    handleRecordsAlone();
    openWithOpenCommand();
    return figures_;
}

void ProgramRun::startApp() {
    app_ = std::make_unique<App>();
    drain();
    std::string pings = folder_.file("pings-" + std::to_string(++apps_) + ".txt");
    watch_ = std::make_unique<ResponseWatch>(app_->mainWindowHandle(), pings, [this] { drain(); });
}

void ProgramRun::stopApp() {
    if (!app_)
        return;
    app_.reset();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    for (const Figure& figure : watch_->figures())
        figures_.push_back(figure);
    watch_.reset();
}

template <class Action>
void ProgramRun::timeLongAction(const char* figure, Action action) {
    std::int64_t start = ResponseWatch::now();
    Stopwatch watch;
    action();
    add(figure, watch.seconds());
    watch_->mark(figure, start, ResponseWatch::now());
}

// Handles every waiting message through the App's own loop, the repaints
// included, as the program does before the user sees the result.
void ProgramRun::drain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT)
            app_->processMessage(msg);
    }
}

void ProgramRun::openFromCommandLine() {
    std::string program = "tabulo.exe";
    char* argv[] = {program.data(), database_.data(), nullptr};
    timeLongAction("open_command_line", [&] { app_->openCommandLine(2, argv); });
    if (!listMatchesRecords())
        warn("open from the command line did not fill the list");
    drain();
}

void ProgramRun::sort(int command, const char* figure) {
    timeLongAction(figure, [&] { SendMessageA(app_->mainWindowHandle(), WM_COMMAND, MAKEWPARAM(command, 0), 0); });
    if (!listMatchesRecords())
        warn("a sort did not refill the list");
    drain();
}

void ProgramRun::save() {
    timeLongAction("save", [&] { SendMessageA(app_->mainWindowHandle(), WM_COMMAND, MAKEWPARAM(IDM_SAVE, 0), 0); });
    if (std::filesystem::file_size(database_) != std::filesystem::file_size(source_))
        warn("the saved file differs in size from the opened one");
    drain();
}

// Keystrokes in the Name edit of a record near the top of the list: the
// list box then moves nearly all of its items for each renewed name.
void ProgramRun::typeInName() {
    const int item = 1;
    selectItem(item);
    HWND edit = app_->recordDialog().nameEdit();
    SetFocus(edit);
    drain();
    std::string before = app_->recordList().at(item).name();
    std::vector<double> samples;
    for (int i = 0; i < actionSamples; ++i) {
        PostMessageA(edit, WM_CHAR, 'x', 1);
        Stopwatch watch;
        drain();
        samples.push_back(watch.seconds());
    }
    add("keystroke", medianOf(samples));
    if (app_->recordList().at(item).name() == before)
        warn("typing in the Name edit did not reach the record");
}

// Clicks that move the selection between two visible items near the top;
// each commits the shown record and shows the other.
void ProgramRun::changeSelection() {
    const int items[] = {3, 5};
    clickItem(items[1]);
    drain();
    std::vector<double> samples;
    for (int i = 0; i < actionSamples; ++i) {
        int target = items[i % 2];
        clickItem(target);
        Stopwatch watch;
        drain();
        samples.push_back(watch.seconds());
        if (app_->shownIndex() != target)
            warn("a click did not change the shown record");
    }
    add("selection_change", medianOf(samples));
}

// Remove All and New, their question answered Yes at once.
void ProgramRun::removeAll() {
    HHOOK hook = SetWindowsHookExA(WH_CBT, answerYes, nullptr, GetCurrentThreadId());
    timeLongAction("remove_all",
                   [&] { SendMessageA(app_->mainWindowHandle(), WM_COMMAND, MAKEWPARAM(IDM_REMOVE_ALL, 0), 0); });
    UnhookWindowsHookEx(hook);
    if (app_->recordList().size() != 0 || !listMatchesRecords())
        warn("Remove All left records");
    drain();
}

void ProgramRun::startNew() {
    HHOOK hook = SetWindowsHookExA(WH_CBT, answerYes, nullptr, GetCurrentThreadId());
    timeLongAction("new", [&] { SendMessageA(app_->mainWindowHandle(), WM_COMMAND, MAKEWPARAM(IDM_NEW, 0), 0); });
    UnhookWindowsHookEx(hook);
    if (app_->recordList().size() != 0 || !listMatchesRecords())
        warn("New left records");
    drain();
}

void ProgramRun::useBareControls() {
    RecordList records;
    records.load(source_);
    std::vector<std::string> names = namesOf(records);
    std::string value = records.size() > 1 ? records.at(1).value() : "";
    records.clear();
    BareControls bare;
    Stopwatch watch;
    bare.fill(names);
    add("bare_fill", watch.seconds());
    if (bare.count() != static_cast<int>(names.size()))
        warn("the bare list box did not take every name");

    const int item = 1;
    bare.renewItem(item, "renewed");
    std::vector<double> renewals;
    std::vector<double> texts;
    for (int i = 0; i < actionSamples; ++i) {
        Stopwatch renewing;
        bare.renewItem(item, i % 2 ? "renewed" : "renewed again");
        renewals.push_back(renewing.seconds());
        Stopwatch setting;
        bare.setEditText(i % 2 ? value.c_str() : "another value");
        texts.push_back(setting.seconds());
    }
    add("bare_renew", medianOf(renewals));
    add("bare_edit_text", medianOf(texts));
}

// The floors of load and save: the same bytes read into memory, and written
// to a new file and flushed to disk as a safe save must.
void ProgramRun::readAndWriteRaw() {
    std::vector<char> bytes(std::filesystem::file_size(source_));
    Stopwatch reading;
    std::FILE* in = std::fopen(source_.c_str(), "rb");
    std::size_t got = 0;
    while (got < bytes.size()) {
        std::size_t read = std::fread(bytes.data() + got, 1, std::min(rawBlockSize, bytes.size() - got), in);
        if (read == 0)
            break;
        got += read;
    }
    std::fclose(in);
    add("raw_read", reading.seconds());

    std::string scratch = folder_.file("scratch.txt");
    Stopwatch writing;
    std::FILE* out = std::fopen(scratch.c_str(), "wb");
    for (std::size_t at = 0; at < got; at += rawBlockSize)
        std::fwrite(bytes.data() + at, 1, std::min(rawBlockSize, got - at), out);
    std::fflush(out);
    _commit(_fileno(out));
    std::fclose(out);
    add("raw_write", writing.seconds());
}

// Find Next in the Find box for a text that is nowhere, timed until the
// message that says so opens.
void ProgramRun::findNothing() {
    SendMessageA(app_->mainWindowHandle(), WM_COMMAND, MAKEWPARAM(IDM_FIND, 0), 0);
    drain();
    HWND box = app_->findBoxHandle();
    if (!box) {
        warn("the Find box did not open");
        return;
    }
    SetDlgItemTextA(box, findWhatEdit, textFoundNowhere);
    HHOOK hook = SetWindowsHookExA(WH_CBT, watchMessages, nullptr, GetCurrentThreadId());
    std::vector<double> samples;
    for (int i = 0; i < actionSamples; ++i) {
        Stopwatch watch;
        messageWatch = MessageWatch{box, &watch};
        SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        if (messageWatch.seconds < 0)
            warn("a search for a text that is nowhere showed no message");
        samples.push_back(messageWatch.seconds);
        drain();
    }
    UnhookWindowsHookEx(hook);
    messageWatch = MessageWatch{};
    add("find_nothing", medianOf(samples));
    SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDCANCEL)));
    drain();
}

// Where the time of open and sort goes: the records without the list box.
void ProgramRun::handleRecordsAlone() {
    RecordList records;
    Stopwatch loading;
    records.load(source_);
    add("load_records", loading.seconds());
    Stopwatch sorting;
    records.sortAscending();
    add("sort_records", sorting.seconds());
    Stopwatch saving;
    records.save(folder_.file("records-alone.txt"));
    add("save_records", saving.seconds());
    Stopwatch searching;
    RecordSearch search(textFoundNowhere, false);
    if (search.find(records, {0, RecordField::name, 0}, RecordSearch::Direction::forward))
        warn("the text to find nowhere was found");
    add("search_records", searching.seconds());
    Stopwatch scanning;
    if (memchrScan(records) != 0)
        warn("the byte to scan for was found");
    add("scan_floor", scanning.seconds());
}

// What Open runs once its dialog has given the path, in a fresh program.
void ProgramRun::openWithOpenCommand() {
    startApp();
    bool opened = false;
    timeLongAction("open_file", [&] { opened = app_->openFile(source_); });
    if (!opened || !listMatchesRecords())
        warn("openFile did not fill the list");
    drain();
    startNew();
    stopApp();
}

void ProgramRun::selectItem(int index) {
    SendMessageA(listBox(), LB_SETCURSEL, index, 0);
    SendMessageA(app_->mainWindowHandle(), WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(listBox()));
    drain();
}

void ProgramRun::clickItem(int index) {
    RECT rect = {};
    SendMessageA(listBox(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageA(listBox(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(listBox(), WM_LBUTTONUP, 0, at);
}

bool ProgramRun::listMatchesRecords() const {
    LRESULT count = SendMessageA(listBox(), LB_GETCOUNT, 0, 0);
    std::size_t size = app_->recordList().size();
    if (count < 0 || static_cast<std::size_t>(count) != size)
        return false;
    if (size == 0)
        return true;
    const std::string& last = app_->recordList().at(size - 1).name();
    std::string item(static_cast<std::size_t>(SendMessageA(listBox(), LB_GETTEXTLEN, size - 1, 0)) + 1, '\0');
    item.resize(static_cast<std::size_t>(
        SendMessageA(listBox(), LB_GETTEXT, size - 1, reinterpret_cast<LPARAM>(item.data()))));
    return item == last;
}

void ProgramRun::warn(const char* what) const {
    std::fprintf(stderr, "warning: %s\n", what);
}
