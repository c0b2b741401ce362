// Seeded random sequences of a user's actions, run through the program and
// through a model beside it: the records in a plain vector, the selection,
// the last match of a search and the bytes a save writes. After each action
// the list, its selection, the panel and the match selected in its field
// must show the model, a save must
// write the model's bytes and an open must read back the records saved. A
// difference is reported with the seed and the fewest of its actions that
// still show it. TABULO_MODEL_SEQUENCES and TABULO_MODEL_ACTIONS ask for a
// longer search, TABULO_MODEL_SEED for other sequences (or one that failed).
#include "AppFixture.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <random>
#include <tuple>

#include "resource.h"
#include "support/RecordLists.h"

namespace {

using Records = std::vector<Record>;
using Random = std::mt19937;

constexpr int findWhatEdit = 0x480; // of the system's Find box

enum class Kind { add, remove, removeAll, click, type, move, drag, sort, find, save, open, findAgain, wrap };
// How often each kind is drawn.
constexpr int weights[] = {2, 1, 1, 3, 4, 2, 2, 2, 2, 2, 1, 2, 1};

// first: Remove and Remove All, whether the question is answered Yes; click
// and drag, the item; type, the field (1 the value); move, the step; sort, 1
// for descending; find, whether Esc closes the box after; find again, 1 for
// backwards (Shift+F3). second: type, whether the text replaces the field's;
// drag, the item it is dropped on.
struct Action {
    Kind kind;
    int first = 0;
    int second = 0;
    std::string text;
};

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text)
        out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\\' || c == '"' ? std::string{'\\', c} : std::string(1, c);
    return out + "\"";
}

std::string joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& text : texts)
        out += (out.empty() ? "" : ", ") + quoted(text);
    return "{" + out + "}";
}

std::string describe(const Action& a) {
    const std::string yes = a.first ? ", Yes" : ", No", item = std::to_string(a.first);
    const std::string field = a.first ? "Value" : "Name", how = a.second ? " over all " : " at the end ";
    const std::string texts[] = {"Add", "Remove" + yes, "Remove All" + yes, "select item " + item,
                                 "type in " + field + how + quoted(a.text), a.first < 0 ? "Move Up" : "Move Down",
                                 "drag item " + item + " onto " + std::to_string(a.second),
                                 a.first ? "Sort Descending" : "Sort Ascending",
                                 "Find Next " + quoted(a.text) + (a.first ? ", then Esc" : ""), "Save", "Open again",
                                 a.first ? "Shift+F3" : "F3", "Word Wrap"};
    return texts[static_cast<int>(a.kind)];
}

// The file as a save should write it: "{" name "=" value "}" CR LF, braces
// and backslashes escaped, and "=" too in names.
std::string fileBytes(const Records& records) {
    auto escaped = [](const std::string& text, bool inName) {
        std::string out;
        for (char c : text)
            out += c == '{' ? "\\o" : c == '}' ? "\\c" : c == '\\' ? "\\\\"
                   : c == '=' && inName ? "\\=" : std::string{c};
        return out;
    };
    std::string bytes;
    for (const Record& r : records)
        bytes += "{" + escaped(r.name(), true) + "=" + escaped(r.value(), false) + "}\r\n";
    return bytes;
}

// Sorting and searching take "A" to "Z" as "a" to "z".
std::string folded(std::string text) {
    for (char& c : text)
        c = c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    return text;
}

// A place in the records: record, field (0 the name, 1 the value), offset.
using Place = std::tuple<int, int, std::size_t>;

// Forward, the first match at `from` or after it, else the first of all;
// backward, the last before `from`, else the last of all.
std::optional<Place> findFrom(const Records& records, const std::string& text, const Place& from, bool forward) {
    std::vector<Place> all;
    for (int r = 0; r < static_cast<int>(records.size()); ++r)
        for (int f : {0, 1}) {
            std::string field = folded(f ? records[r].value() : records[r].name());
            for (auto at = field.find(folded(text)); at != std::string::npos; at = field.find(folded(text), at + 1))
                all.push_back(Place{r, f, at});
        }
    auto after = std::lower_bound(all.begin(), all.end(), from);
    if (all.empty())
        return std::nullopt;
    if (forward)
        return after != all.end() ? *after : all.front();
    return after != all.begin() ? *(after - 1) : all.back();
}

// An edit's selection.
std::pair<std::size_t, std::size_t> selectionOf(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

std::string randomText(Random& random, bool value) {
    static const std::string letters = "aAbBzZ_[{}\\= ";
    std::string text;
    for (int length = 1 + random() % 4; length > 0; --length)
        text += value && random() % 6 == 0 ? std::string("\r\n") : std::string(1, letters[random() % letters.size()]);
    return text;
}

int setting(const char* name, int fallback) {
    return std::getenv(name) ? std::atoi(std::getenv(name)) : fallback;
}

class ModelTest : public AppTest {
protected:
    struct Failure {
        std::size_t step;
        std::string what;
    };

    // A fresh program on a file of `initial`, then the actions; with `random`
    // they are drawn on the way, `length` of them.
    std::optional<Failure> run(const Records& initial, std::vector<Action>& actions, Random* random = nullptr,
                               std::size_t length = 0) {
        stop();
        answers.reset();
        // Each sequence starts as the first did: its own App and answers,
        // the pointer in the corner.
        parkPointer();
        start();
        path = writeDatabase("db.txt", initial);
        app->openFile(path);
        runLoop();
        records = saved = initial;
        show(-1);
        findBox = nullptr;
        searched.clear();
        for (std::size_t i = 0; random ? i < length : i < actions.size(); ++i) {
            if (random)
                actions.push_back(randomAction(*random));
            std::string what = act(actions[i]);
            if (answers.unexpected() != 0 || !answers.allAnswered())
                what = "the message boxes were not those foreseen; the last: " +
                       quoted(answers.seen().empty() ? "" : answers.seen().back().text);
            if (what.empty() && shown() != modelShown())
                what = "the program shows " + shown() + ",\n     the model " + modelShown();
            if (!what.empty())
                return Failure{i, what};
        }
        return std::nullopt;
    }

    // Drops actions one at a time, going round, while the rest still fail,
    // until no single one can go.
    Failure shorten(const Records& initial, std::vector<Action>& actions, Failure failure) {
        for (std::size_t i = 0, kept = 0; kept < actions.size(); i %= actions.size()) {
            std::vector<Action> fewer = actions;
            fewer.erase(fewer.begin() + i);
            std::optional<Failure> still = run(initial, fewer);
            if (!still) {
                ++kept;
                ++i;
                continue;
            }
            fewer.resize(still->step + 1);
            actions = fewer;
            failure = *still;
            kept = 0;
        }
        return failure;
    }

    Action randomAction(Random& random) {
        std::discrete_distribution<int> kinds(std::begin(weights), std::end(weights));
        Action a{static_cast<Kind>(kinds(random)), static_cast<int>(random() % 2), static_cast<int>(random() % 2), ""};
        int count = std::max(static_cast<int>(records.size()), 1);
        switch (a.kind) {
        case Kind::remove: a.first = random() % 4 != 0; break;
        case Kind::removeAll: a.first = random() % 4 == 0; break;
        case Kind::click: a.first = random() % count; break;
        case Kind::type: a.text = randomText(random, a.first); break;
        case Kind::move: a.first = a.first ? 1 : -1; break;
        case Kind::drag:
            a.first = random() % count;
            a.second = std::clamp(a.first + static_cast<int>(random() % 11) - 5, 0, count - 1);
            break;
        case Kind::find: a.text = searchText(random); break;
        default: break;
        }
        return a;
    }

    // Mostly a piece of a name or value, so that it is found.
    std::string searchText(Random& random) const {
        const Record r = records.empty() ? Record() : records[random() % records.size()];
        const std::string& field = random() % 2 ? r.value() : r.name();
        std::string text = field.empty() ? "" : field.substr(random() % field.size(), 1 + random() % 3);
        return text.empty() || text.find_first_of("\r\n") != std::string::npos ? randomText(random, false) : text;
    }

    // Does the action in the program and in the model; says what went wrong
    // when a save or an open did not give the model's file or records.
    std::string act(const Action& a) {
        int count = static_cast<int>(records.size());
        switch (a.kind) {
        case Kind::add:
            command(IDM_ADD);
            records.push_back(Record("New Record", ""));
            show(count);
            break;
        case Kind::remove:
        case Kind::removeAll: {
            bool all = a.kind == Kind::removeAll, asked = all || selected != -1;
            if (asked)
                answers.thenPress(a.first ? IDYES : IDNO);
            command(all ? IDM_REMOVE_ALL : IDM_REMOVE);
            if (asked && a.first) {
                records.erase(all ? records.begin() : records.begin() + selected,
                              all ? records.end() : records.begin() + selected + 1);
                show(-1);
            }
            break;
        }
        case Kind::click:
            if (a.first >= count)
                break;
            selectItem(a.first);
            if (a.first != selected)
                show(a.first);
            break;
        case Kind::type: typeText(a); break;
        case Kind::move:
            command(a.first < 0 ? IDM_MOVE_UP : IDM_MOVE_DOWN);
            if (selected != -1 && selected + a.first >= 0 && selected + a.first < count)
                move(selected, selected + a.first);
            break;
        case Kind::drag: drag(a.first, a.second); break;
        case Kind::sort:
            command(a.first ? IDM_SORT_DESCENDING : IDM_SORT_ASCENDING);
            std::stable_sort(records.begin(), records.end(), [&a](const Record& x, const Record& y) {
                return a.first ? folded(y.name()) < folded(x.name()) : folded(x.name()) < folded(y.name());
            });
            show(-1);
            break;
        case Kind::find: return find(a.text, a.first);
        case Kind::findAgain: return findAgain(!a.first);
        case Kind::wrap: return switchWordWrap();
        case Kind::save:
            command(IDM_SAVE);
            saved = records;
            if (readBytes(path) != fileBytes(saved))
                return "the file holds " + quoted(readBytes(path)) + ", the model " + quoted(fileBytes(saved));
            break;
        case Kind::open:
            app->openFile(path);
            runLoop();
            records = saved;
            show(-1);
            if (recordsOf(app->recordList()) != saved)
                return "the names read are " + joined(namesOf(app->recordList())) + ", or a value differs";
            break;
        }
        return "";
    }

    // The caret goes to the end of the field (Ctrl+End), or all of it is
    // selected (Ctrl+A), and the text is typed; Enter makes a CR LF.
    void typeText(const Action& a) {
        if (selected == -1)
            return;
        HWND edit = a.first ? valueEdit() : nameEdit();
        SetFocus(edit);
        pressKey(edit, a.second ? 'A' : VK_END, FCONTROL);
        std::string keys = a.text;
        keys.erase(std::remove(keys.begin(), keys.end(), '\n'), keys.end());
        type(edit, keys);
        std::string& field = a.first ? records[selected].value() : records[selected].name();
        field = a.second ? a.text : field + a.text;
        // Typing in the field of a match: the next search goes on from the caret.
        if (match && std::get<0>(*match) == selected && std::get<1>(*match) == a.first)
            matchSelection = {field.size(), field.size()};
    }

    // In the list with the keyboard, which needs no pointer: the drag list
    // box takes the real pointer's place for a click's, and after a drag the
    // late report of a place the pointer was moved through can put it back
    // there for a while, over another item. The shown record selected again
    // changes nothing; the list takes the focus.
    void selectItem(int index) {
        SetFocus(list());
        if (listSelection() == -1)
            pressKey(list(), VK_HOME);
        for (int keys = 0; keys < static_cast<int>(records.size()) && listSelection() != index; ++keys)
            pressKey(list(), listSelection() < index ? VK_DOWN : VK_UP);
    }

    // The press selects and shows the item; the record lands before the item
    // it is dropped on, and on itself or the next item stays where it is.
    void drag(int from, int onto) {
        if (from >= static_cast<int>(records.size()) || onto >= static_cast<int>(records.size()))
            return;
        SendMessageA(list(), LB_SETTOPINDEX, std::min(from, onto), 0);
        mouse(WM_LBUTTONDOWN, itemPoint(from));
        mouse(WM_MOUSEMOVE, itemPoint(onto));
        mouse(WM_LBUTTONUP, itemPoint(onto));
        parkPointer();
        if (from != selected)
            show(from);
        if (onto != from && onto != from + 1)
            move(from, onto > from ? onto - 1 : onto);
    }

    // Where a search goes on: after (before) the match the panel shows, or
    // after (before) the caret or selection once it is no longer the match;
    // else from the top (the end) of the selected record, or the first (the
    // last) record.
    Place searchStart(bool forward) const {
        if (match && std::get<0>(*match) == selected) {
            Place from = *match;
            std::size_t offset = std::get<2>(from);
            if (matchSelection != std::make_pair(offset, offset + matchLength))
                std::get<2>(from) = forward ? matchSelection.second : matchSelection.first;
            else if (forward)
                ++std::get<2>(from);
            return from;
        }
        int record = selected == -1 ? (forward ? 0 : static_cast<int>(records.size())) : selected + !forward;
        return Place(record, 0, 0);
    }

    // The match found is selected in its field; a record that was not
    // shown is shown.
    void showMatch(const std::optional<Place>& found, const std::string& text) {
        searched = text;
        if (!found)
            return;
        if (std::get<0>(*found) != selected)
            show(std::get<0>(*found));
        match = found;
        matchLength = text.size();
        matchSelection = {std::get<2>(*found), std::get<2>(*found) + matchLength};
    }

    // F3 or Shift+F3, from the list; before the first search it opens the
    // Find box.
    std::string findAgain(bool forward) {
        if (searched.empty()) {
            if (!IsWindow(findBox))
                answers.then([this](HWND box) { findBox = box; });
            pressKey(list(), VK_F3);
            return pumpUntil([this] { return IsWindow(findBox); }) ? "" : "F3 opened no Find box";
        }
        std::optional<Place> found = findFrom(records, searched, searchStart(forward), forward);
        if (!found)
            answers.thenPress(IDOK); // "Cannot find"
        pressKey(list(), VK_F3, forward ? 0 : FSHIFT);
        showMatch(found, searched);
        return "";
    }

    // The switch changes nothing that the user had, the place of the caret
    // and the focus included.
    std::string switchWordWrap() {
        std::string before = caretAndFocus();
        command(IDM_WORD_WRAP);
        std::string after = caretAndFocus();
        return before == after ? "" : "the caret and focus were " + before + ", after Word Wrap " + after;
    }

    std::string caretAndFocus() const {
        auto selection = [](HWND edit) {
            auto [start, end] = selectionOf(edit);
            return std::to_string(start) + "-" + std::to_string(end);
        };
        HWND focus = GetFocus();
        std::string where = focus == nameEdit() ? "name" : focus == valueEdit() ? "value" : focus == list() ? "list" : "other";
        return "name " + selection(nameEdit()) + ", value " + selection(valueEdit()) + ", focus " + where;
    }

    // Searches down in the Find box.
    std::string find(const std::string& text, bool closeBox) {
        std::optional<Place> found = findFrom(records, text, searchStart(true), true);
        if (!IsWindow(findBox)) {
            answers.then([this](HWND box) { findBox = box; });
            pressKey(list(), 'F', FCONTROL);
            if (!pumpUntil([this] { return IsWindow(findBox); }))
                return "Ctrl+F opened no Find box";
        }
        if (!found)
            answers.thenPress(IDOK); // "Cannot find"
        HWND edit = GetDlgItem(findBox, findWhatEdit);
        SetWindowTextA(edit, text.c_str());
        pressKey(edit, VK_RETURN);
        if (closeBox)
            pressKey(edit, VK_ESCAPE);
        showMatch(found, text);
        return "";
    }

    void show(int index) {
        selected = index;
        match.reset();
    }

    // The moved record stays selected, and a match in it goes along.
    void move(int from, int to) {
        Record moved = records[from];
        records.erase(records.begin() + from);
        records.insert(records.begin() + to, moved);
        selected = to;
        if (match && std::get<0>(*match) == from)
            std::get<0>(*match) = to;
        else
            match.reset();
    }

    // The list, its selection, the panel and the match in its field as the
    // program shows them, and as they should be.
    std::string shown() const {
        return joined(listItems()) + ", item " + std::to_string(listSelection()) + ", panel " +
               joined({windowText(nameEdit()), windowText(valueEdit())}) + (IsWindowEnabled(nameEdit()) ? "" : " off") +
               matchShown(shownMatch() ? selectionOf(std::get<1>(*match) ? valueEdit() : nameEdit()) : matchSelection);
    }
    std::string modelShown() const {
        Record panel = selected == -1 ? Record() : records[selected];
        return joined(namesOf(listOf(records))) + ", item " + std::to_string(selected) + ", panel " +
               joined({panel.name(), panel.value()}) + (selected != -1 ? "" : " off") + matchShown(matchSelection);
    }
    bool shownMatch() const { return match && std::get<0>(*match) == selected; }
    std::string matchShown(std::pair<std::size_t, std::size_t> selection) const {
        if (!shownMatch())
            return "";
        return std::string(", match in the ") + (std::get<1>(*match) ? "value" : "name") + " at " +
               std::to_string(selection.first) + "-" + std::to_string(selection.second);
    }

    // The panel's edits are in `records` at once: whatever could tell them
    // apart from the records commits the panel first.
    Records records;
    Records saved;
    int selected = -1;
    // The match of the last search, its length and the selection in its
    // field; the text searched last.
    std::optional<Place> match;
    std::size_t matchLength = 0;
    std::pair<std::size_t, std::size_t> matchSelection;
    std::string searched;
    std::string path;
    HWND findBox = nullptr;
};

// Found by a long run (seed 7016): over the match in its field the user
// types a new name, then moves the record; the next search goes on from the
// caret there.
TEST_F(ModelTest, SearchingOnAfterTypingOverTheMatchAndMovingItsRecord) {
    const Records initial{{"[ B[", "\r\n\\}["}, {"zaa=", "=\r\n_"}, {"\\{", "{z"}};
    std::vector<Action> actions{
        {Kind::click, 0, 0, ""},     {Kind::add, 0, 0, ""},  {Kind::sort, 0, 0, ""},      {Kind::sort, 1, 0, ""},
        {Kind::save, 0, 0, ""},      {Kind::open, 0, 0, ""}, {Kind::click, 3, 0, ""},     {Kind::find, 0, 0, "\\{"},
        {Kind::removeAll, 0, 0, ""}, {Kind::move, 1, 0, ""}, {Kind::type, 0, 1, "Z\\"}, {Kind::click, 3, 0, ""},
        {Kind::move, -1, 0, ""},     {Kind::find, 0, 0, "z"}};
    std::optional<Failure> failure = run(initial, actions);
    EXPECT_FALSE(failure) << failure->what;
}

TEST_F(ModelTest, RandomActionsDoWhatTheModelDoes) {
    const int sequences = setting("TABULO_MODEL_SEQUENCES", 20), firstSeed = setting("TABULO_MODEL_SEED", 1);
    const std::size_t length = setting("TABULO_MODEL_ACTIONS", 40);
    for (int seed = firstSeed; seed < firstSeed + sequences; ++seed) {
        Random random(seed);
        Records initial;
        for (int count = 2 + random() % 4; count > 0; --count)
            initial.push_back(Record(randomText(random, false), randomText(random, true)));
        std::vector<Action> actions;
        std::optional<Failure> failure = run(initial, actions, &random, length);
        if (!failure)
            continue;
        actions.resize(failure->step + 1);
        Failure last = shorten(initial, actions, *failure);
        std::string steps;
        for (const Action& a : actions)
            steps += "\n  " + describe(a);
        FAIL() << "seed " << seed << ", on a file of " << quoted(fileBytes(initial)) << ":" << steps << "\nthen "
               << last.what;
    }
}

} // namespace
