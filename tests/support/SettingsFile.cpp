#include "support/SettingsFile.h"

#include "support/RecordLists.h"

bool writeSettings(const TempDir& folder, const std::vector<Record>& entries) {
    return listOf(entries).save(folder.file("settings.txt"));
}
