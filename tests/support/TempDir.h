#pragma once

#include <filesystem>
#include <string>

// A fresh directory under the system's temporary folder, removed with
// everything in it when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of a file inside the directory, as a narrow string.
    std::string file(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// Whole-file helpers for tests: raw bytes, binary mode.
std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);
