// Load, save, sort and a search that finds nothing (in the file's order of
// records and after a sort, and as on a double-byte code page), of a large
// generated database, each beside the raw cost of moving or scanning the
// same bytes.
// Figures only: nothing here passes or fails.
//
//   build/native/bench/storage_bench [--records=N] [benchmark options]

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "DatabaseGenerator.h"
#include "LeadBytes.h"
#include "MemchrScan.h"
#include "RecordList.h"
#include "RecordSearch.h"

namespace {

std::size_t recordCount = 1000000;
RecordList database;
// The same records after a sort, when their text no longer lies in their
// order.
RecordList sortedDatabase;
std::string databasePath;
std::string scratchPath;
std::string fileBytes;
// Code pages for the search: a single-byte one (no lead bytes) and 932
// (Japanese).
const LeadBytes singleByte;
LeadBytes codePage932;

void setUp() {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("tabulo-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    databasePath = (dir / "database.txt").string();
    scratchPath = (dir / "scratch.txt").string();
    for (int byte = 0x81; byte <= 0xFC; ++byte)
        if (byte <= 0x9F || byte >= 0xE0)
            codePage932.add(static_cast<unsigned char>(byte));
    database = generateDatabase(recordCount);
    database.save(databasePath);
    sortedDatabase = database;
    sortedDatabase.sortAscending();
    std::FILE* in = std::fopen(databasePath.c_str(), "rb");
    fileBytes.resize(std::filesystem::file_size(databasePath));
    std::size_t got = std::fread(fileBytes.data(), 1, fileBytes.size(), in);
    std::fclose(in);
    fileBytes.resize(got);
}

void tearDown() {
    std::filesystem::remove_all(std::filesystem::path(databasePath).parent_path());
}

void reportBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fileBytes.size()));
    state.counters["records"] = static_cast<double>(recordCount);
}

void rawRead(benchmark::State& state) {
    std::vector<char> block(1 << 20);
    for (auto _ : state) {
        std::FILE* in = std::fopen(databasePath.c_str(), "rb");
        std::size_t total = 0;
        for (std::size_t got; (got = std::fread(block.data(), 1, block.size(), in)) > 0;)
            total += got;
        std::fclose(in);
        benchmark::DoNotOptimize(total);
    }
    reportBytes(state);
}

void load(benchmark::State& state) {
    for (auto _ : state) {
        RecordList list;
        LoadReport report; // as the program opens a file
        list.load(databasePath, &report);
        benchmark::DoNotOptimize(list.size());
        state.PauseTiming(); // freeing the records is not part of loading
        list = RecordList();
        state.ResumeTiming();
    }
    reportBytes(state);
}

// The raw write does what a safe save must: write, flush to disk, close.
void rawWrite(benchmark::State& state) {
    for (auto _ : state) {
        std::FILE* out = std::fopen(scratchPath.c_str(), "wb");
        for (std::size_t at = 0; at < fileBytes.size(); at += 1 << 20)
            std::fwrite(fileBytes.data() + at, 1, std::min<std::size_t>(1 << 20, fileBytes.size() - at), out);
        std::fflush(out);
        fsync(fileno(out));
        std::fclose(out);
    }
    reportBytes(state);
}

void save(benchmark::State& state) {
    for (auto _ : state)
        database.save(scratchPath);
    reportBytes(state);
}

void sortAscending(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        RecordList list = database;
        state.ResumeTiming();
        list.sortAscending();
        state.PauseTiming();
        list = RecordList();
        state.ResumeTiming();
    }
    state.counters["records"] = static_cast<double>(recordCount);
}

void memchrScanning(benchmark::State& state, const RecordList* records) {
    for (auto _ : state)
        benchmark::DoNotOptimize(memchrScan(*records));
    reportBytes(state);
}

void searchNothing(benchmark::State& state, const RecordList* records, bool matchCase,
                   const LeadBytes* leadBytes) {
    RecordSearch search(textFoundNowhere, matchCase, *leadBytes);
    for (auto _ : state) {
        auto found = search.find(*records, {0, RecordField::name, 0}, RecordSearch::Direction::forward);
        benchmark::DoNotOptimize(found);
    }
    reportBytes(state);
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--records=", 10) == 0)
            recordCount = std::strtoul(argv[i] + 10, nullptr, 10);
    benchmark::Initialize(&argc, argv);
    setUp();
    std::printf("database: %zu records, %.1f MB\n", recordCount, fileBytes.size() / 1e6);
    benchmark::RegisterBenchmark("raw_read", rawRead)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("load", load)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("raw_write", rawWrite)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("save", save)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("sort_ascending", sortAscending)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("memchr_scan", memchrScanning, &database)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("search_nothing", searchNothing, &database, false, &singleByte)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("search_nothing_match_case", searchNothing, &database, true, &singleByte)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("search_nothing_double_byte", searchNothing, &database, false, &codePage932)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("memchr_scan_sorted", memchrScanning, &sortedDatabase)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("search_nothing_sorted", searchNothing, &sortedDatabase, false, &singleByte)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tearDown();
    return 0;
}
