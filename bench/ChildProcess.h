#pragma once

#include <windows.h>

#include <string>

// Runs this same program again with other arguments, sharing the console,
// and owns the process and thread handles until it has ended. Each figure
// that depends on a fresh process (peak memory above all) comes from one.
class ChildProcess {
public:
    explicit ChildProcess(const std::string& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return info_.hProcess != nullptr; }
    // Waits for the end; the exit code, or -1 when nothing was started.
    int wait();

private:
    PROCESS_INFORMATION info_ = {};
};
