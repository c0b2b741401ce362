#pragma once

#include <string>
#include <vector>

#include "Record.h"
#include "support/TempDir.h"

// Writes "settings.txt" into the folder with these entries (key, value), as
// the program would find it at start-up; false when it cannot be written.
bool writeSettings(const TempDir& folder, const std::vector<Record>& entries);
