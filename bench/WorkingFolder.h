#pragma once

#include <filesystem>
#include <string>

// A fresh folder under the system's temporary folder that is the current
// directory while the object lives (the program keeps "settings.txt" there).
// The previous directory comes back and the folder goes, with everything in
// it, when the object goes.
class WorkingFolder {
public:
    WorkingFolder();
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    std::string file(const std::string& name) const;

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};
