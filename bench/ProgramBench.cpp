// The program benchmark: the real App under Wine with large generated
// databases, each figure beside the floor of the same work. Figures only:
// nothing here passes or fails. bench/run-program-bench.sh builds it and
// runs it in the project's Wine prefix.
//
//   program_bench.exe [--records=10000,100000,1000000] [--runs=3]
//
// For each size it writes the database in a child process, then measures
// in one fresh child process per run (so that each peak working set is the
// run's own) and prints the medians.
//
//   program_bench.exe write COUNT FILE        (a child: the database)
//   program_bench.exe measure FILE RESULTS    (a child: one run)
//   program_bench.exe watch HWND PINGS EVENT  (a child of a run: pings the window)

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "DatabaseGenerator.h"
#include "FigureTable.h"
#include "ProgramRun.h"
#include "ResponseWatch.h"
#include "WorkingFolder.h"

namespace {

struct Options {
    std::vector<std::size_t> counts{10000, 100000, 1000000};
    int runs = 3;
};

std::vector<std::size_t> parseCounts(const char* text) {
    std::vector<std::size_t> counts;
    for (const char* p = text; *p;) {
        char* end = nullptr;
        unsigned long long count = std::strtoull(p, &end, 10);
        if (end == p)
            break;
        counts.push_back(static_cast<std::size_t>(count));
        p = *end == ',' ? end + 1 : end;
    }
    return counts;
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--records=", 10) == 0)
            options.counts = parseCounts(argv[i] + 10);
        else if (std::strncmp(argv[i], "--runs=", 7) == 0)
            options.runs = std::atoi(argv[i] + 7);
        else
            return false;
    }
    return !options.counts.empty() && options.runs > 0;
}

int writeDatabase(const char* count, const char* path) {
    RecordList records = generateDatabase(std::strtoull(count, nullptr, 10));
    return records.save(path) ? 0 : 1;
}

int measureOnce(const char* database, const char* results) {
    InitCommonControls();
    std::vector<Figure> figures;
    {
        ProgramRun run(database);
        figures = run.measure();
    }
    return FigureTable::write(results, figures) ? 0 : 1;
}

std::string inQuotes(const std::string& text) {
    return "\"" + text + "\"";
}

int runChild(const std::string& arguments) {
    ChildProcess child(arguments);
    return child.wait();
}

bool benchmarkSize(std::size_t count, int runs, const WorkingFolder& folder) {
    std::string database = folder.file("database-" + std::to_string(count) + ".txt");
    std::string results = folder.file("results-" + std::to_string(count) + ".txt");
    std::fprintf(stderr, "%zu records: writing the database\n", count);
    if (runChild("write " + std::to_string(count) + " " + inQuotes(database)) != 0) {
        std::fprintf(stderr, "could not write %s\n", database.c_str());
        return false;
    }
    for (int run = 1; run <= runs; ++run) {
        std::fprintf(stderr, "%zu records: run %d of %d\n", count, run, runs);
        if (runChild("measure " + inQuotes(database) + " " + inQuotes(results)) != 0)
            std::fprintf(stderr, "run %d failed\n", run);
    }
    FigureTable table;
    if (!table.read(results)) {
        std::fprintf(stderr, "no results for %zu records\n", count);
        return false;
    }
    table.print(stdout);
    std::printf("\n");
    std::fflush(stdout);
    std::filesystem::remove(database);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "write") == 0)
        return writeDatabase(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "measure") == 0)
        return measureOnce(argv[2], argv[3]);
    if (argc == 5 && std::strcmp(argv[1], "watch") == 0)
        return ResponseWatch::watch(reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(argv[2], nullptr, 10))),
                                    argv[3], argv[4]);

    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: program_bench [--records=N[,N...]] [--runs=N]\n");
        return 2;
    }
    WorkingFolder folder;
    std::printf("Floors: open = raw read + bare list fill; sort = bare list fill; save = raw write;\n"
                "keystroke = renewing one item of a bare list box; selection change = that and setting\n"
                "the text of a bare multi-line edit; find = memchr through the same names and values;\n"
                "memory = the file's size. Times run from the call until the list box holds the result,\n"
                "repaints included for the single actions; a find that finds nothing, until its message\n"
                "opens. Remove All and New include their question, answered at once. Longest unanswered:\n"
                "the longest that a WM_NULL sent every 20 ms from another process waited for its answer\n"
                "during the action.\n\n");
    bool all = true;
    for (std::size_t count : options.counts)
        all = benchmarkSize(count, options.runs, folder) && all;
    return all ? 0 : 1;
}
