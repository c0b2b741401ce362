#include "FigureTable.h"

#include <algorithm>

namespace {

enum class Unit { time, bytes };

// A row of the table: the figure, what it is judged against (the sum of the
// floor figures; none for absolute goals) and the goal, as text.
struct Row {
    const char* label;
    const char* figure;
    std::vector<const char*> floor;
    Unit unit;
    const char* goal;
};

const Row rows[] = {
    {"open, command line", "open_command_line", {"raw_read", "bare_fill"}, Unit::time, "<= 2x; < 30 s at 1M"},
    {"open, Open command", "open_file", {"raw_read", "bare_fill"}, Unit::time, "<= 2x; < 30 s at 1M"},
    {"sort ascending + refill", "sort_ascending", {"bare_fill"}, Unit::time, "<= 1.5x"},
    {"sort descending + refill", "sort_descending", {"bare_fill"}, Unit::time, "<= 1.5x"},
    {"save", "save", {"raw_write"}, Unit::time, "<= 3x"},
    {"remove all", "remove_all", {}, Unit::time, ""},
    {"new", "new", {}, Unit::time, ""},
    {"keystroke in Name", "keystroke", {"bare_renew"}, Unit::time, "< 20 ms"},
    {"selection change", "selection_change", {"bare_renew", "bare_edit_text"}, Unit::time, "< 20 ms"},
    {"find, nothing found", "find_nothing", {"scan_floor"}, Unit::time, "< 50 ms at 100k"},
    {"peak memory above empty", "memory_above_empty", {"file_size"}, Unit::bytes, "<= 3x file"},
    {"longest unanswered: open", "unanswered_open_command_line", {}, Unit::time, "< 250 ms"},
    {"  the Open command", "unanswered_open_file", {}, Unit::time, "< 250 ms"},
    {"  sort ascending", "unanswered_sort_ascending", {}, Unit::time, "< 250 ms"},
    {"  sort descending", "unanswered_sort_descending", {}, Unit::time, "< 250 ms"},
    {"  save", "unanswered_save", {}, Unit::time, "< 250 ms"},
    {"  remove all", "unanswered_remove_all", {}, Unit::time, "< 250 ms"},
    {"  new", "unanswered_new", {}, Unit::time, "< 250 ms"},
    {"  records alone: load", "load_records", {"raw_read"}, Unit::time, ""},
    {"  records alone: sort", "sort_records", {}, Unit::time, ""},
    {"  records alone: save", "save_records", {"raw_write"}, Unit::time, ""},
    {"  records alone: search", "search_records", {"scan_floor"}, Unit::time, ""},
    {"  floor: raw read", "raw_read", {}, Unit::time, ""},
    {"  floor: raw write", "raw_write", {}, Unit::time, ""},
    {"  floor: bare list fill", "bare_fill", {}, Unit::time, ""},
    {"  floor: bare item renewal", "bare_renew", {}, Unit::time, ""},
    {"  floor: bare edit text", "bare_edit_text", {}, Unit::time, ""},
    {"  floor: memchr scan", "scan_floor", {}, Unit::time, ""},
};

std::string format(double value, Unit unit) {
    char text[32];
    if (unit == Unit::bytes)
        std::snprintf(text, sizeof text, "%.1f MB", value / 1e6);
    else if (value < 1.0)
        std::snprintf(text, sizeof text, "%.1f ms", value * 1e3);
    else
        std::snprintf(text, sizeof text, "%.2f s", value);
    return text;
}

} // namespace

double medianOf(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void FigureTable::add(const Figure& figure) {
    samples_[figure.name].push_back(figure.value);
}

bool FigureTable::read(const std::string& path) {
    std::FILE* in = std::fopen(path.c_str(), "r");
    if (!in)
        return false;
    char name[64];
    double value;
    while (std::fscanf(in, "%63s %lf", name, &value) == 2)
        add({name, value});
    std::fclose(in);
    return true;
}

bool FigureTable::write(const std::string& path, const std::vector<Figure>& figures) {
    std::FILE* out = std::fopen(path.c_str(), "a");
    if (!out)
        return false;
    for (const Figure& figure : figures)
        std::fprintf(out, "%s %.9g\n", figure.name.c_str(), figure.value);
    return std::fclose(out) == 0;
}

double FigureTable::median(const std::string& name) const {
    auto found = samples_.find(name);
    return found == samples_.end() ? 0 : medianOf(found->second);
}

int FigureTable::runs() const {
    auto found = samples_.find("records");
    return found == samples_.end() ? 0 : static_cast<int>(found->second.size());
}

void FigureTable::print(std::FILE* out) const {
    std::fprintf(out, "%.0f records, %s file, median of %d runs\n", median("records"),
                 format(median("file_size"), Unit::bytes).c_str(), runs());
    std::fprintf(out, "  %-26s %12s %12s %8s   %s\n", "figure", "median", "floor", "ratio", "goal");
    for (const Row& row : rows) {
        double value = median(row.figure);
        double floor = 0;
        for (const char* part : row.floor)
            floor += median(part);
        std::string floorText = row.floor.empty() ? "-" : format(floor, row.unit);
        char ratio[16] = "-";
        if (floor > 0)
            std::snprintf(ratio, sizeof ratio, "%.2fx", value / floor);
        std::fprintf(out, "  %-26s %12s %12s %8s   %s\n", row.label, format(value, row.unit).c_str(),
                     floorText.c_str(), ratio, row.goal);
    }
    std::fflush(out);
}
