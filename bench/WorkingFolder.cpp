#include "WorkingFolder.h"

#include <windows.h>

#include <system_error>

namespace fs = std::filesystem;

WorkingFolder::WorkingFolder() : previous_(fs::current_path()) {
    fs::path base = fs::temp_directory_path();
    for (unsigned attempt = 0;; ++attempt) {
        fs::path candidate =
            base / ("tabulo-bench-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            break;
        }
    }
    fs::current_path(path_);
}

WorkingFolder::~WorkingFolder() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::remove_all(path_, ignored);
}

std::string WorkingFolder::file(const std::string& name) const {
    return (path_ / name).string();
}
