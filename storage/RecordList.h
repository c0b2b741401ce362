#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "Progress.h"
#include "Record.h"
#include "RecordFormat.h"

// The database in memory: records in the order the user sees them, loaded
// from and saved to the brace-delimited text format of RecordFormat.h. The
// operations that take long on a large database report their progress.
class RecordList {
public:
    std::size_t size() const { return records_.size(); }

    // Range-checked: throws std::out_of_range ("vector::_M_range_check...").
    Record& at(std::size_t index) { return records_.at(index); }
    const Record& at(std::size_t index) const { return records_.at(index); }

    void append(const Record& record) { records_.push_back(record); }
    // The caller guarantees 0 <= index <= size().
    void insertAt(int index, const Record& record);
    // The caller guarantees 0 <= index < size().
    void eraseAt(int index);
    // Moves the record at from so that it stands at to, the records between
    // closing up; the caller guarantees both are below size(). Allocates
    // nothing, so it cannot fail part way.
    void move(int from, int to);
    void clear(const Progress& progress = {});

    // Case-insensitive by name (compareNoCase); records whose names compare
    // equal keep their order. False, with the order unchanged, when there is
    // no memory for the sort.
    bool sortAscending(const Progress& progress = {});
    bool sortDescending(const Progress& progress = {});

    // Replaces the contents with the file's records. Returns false, leaving
    // the list as it was, when the file cannot be opened, reading fails or
    // memory runs out; the file is closed again either way. report (when
    // given) tells what of the file a save would not give back as it was.
    bool load(const std::string& path, LoadReport* report = nullptr, const Progress& progress = {});
    // Writes every record. The file is replaced only once all of it is safely
    // written; on any failure, running out of memory included, the previous
    // file stays and false is returned.
    bool save(const std::string& path, const Progress& progress = {}) const;

    std::vector<Record>::const_iterator begin() const { return records_.begin(); }
    std::vector<Record>::const_iterator end() const { return records_.end(); }

private:
    std::vector<Record> records_;
};
