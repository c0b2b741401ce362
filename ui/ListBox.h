#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <iterator>
#include <string>

// A list box of the parent's, not owned: the window goes with its parent.
// The one place that sends it messages. Once it is a drag list box, its
// messages go straight to the procedure it had before (see send()).
class ListBox {
public:
    ListBox() = default;
    // Gives the window its procedure back (see makeDragList).
    ~ListBox();
    ListBox(const ListBox&) = delete;
    ListBox& operator=(const ListBox&) = delete;

    // Takes the window and the procedure it has now.
    void attach(HWND window);
    // Makes it a drag list box, which reports drags to its parent, and
    // wraps its window procedure to tell when that is running.
    bool makeDragList();

    HWND hwnd() const { return hwnd_; }
    // Whether the list box's window procedure is running on this thread:
    // its drag notifications are sent to the parent only from in there.
    bool isInItsProcedure() const { return depth_ > 0; }

    int count() const;
    // The height of one row, in pixels.
    int itemHeight() const;
    void add(const std::string& text);
    void insert(int index, const std::string& text);
    void remove(int index);
    void clear();
    // The item's text; empty for an index that names no item.
    std::string text(int index) const;
    // -1: nothing selected.
    int selection() const;
    void select(int index);
    void setHorizontalExtent(int width);

    // Replaces every item by the texts, in order, with redrawing off; told
    // after each item how many of how many are in.
    template <class Range, class TextOf>
    void fill(const Range& range, TextOf textOf, const std::function<void(std::uint64_t, std::uint64_t)>& progress);
    // Replaces an item's text and, when asked, selects it again.
    void renew(int index, const std::string& text, bool select);

    // False for an index that names no item.
    bool itemRect(int index, RECT& rect) const;
    // The item under a point of the screen, -1 for none; with autoScroll
    // the list scrolls when the point is just above or below it.
    int itemAt(POINT screenPoint, bool autoScroll) const;

private:
    static LRESULT CALLBACK countingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void release();
    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam) const;
    void addText(const char* text);
    void beginChanges();
    void endChanges(bool erase);

    HWND hwnd_ = nullptr;
    WNDPROC procedure_ = nullptr;
    // The procedure that countingProcedure wraps: the drag list's.
    WNDPROC wrapped_ = nullptr;
    int depth_ = 0;
};

// Redrawing is off while the texts go in: each insertion would repaint the
// list, and a large database has many thousands of them.
template <class Range, class TextOf>
void ListBox::fill(const Range& range, TextOf textOf,
                   const std::function<void(std::uint64_t, std::uint64_t)>& progress) {
    beginChanges();
    clear();
    std::uint64_t added = 0;
    for (const auto& item : range) {
        addText(textOf(item));
        if (progress)
            progress(++added, std::size(range));
    }
    endChanges(true);
}
