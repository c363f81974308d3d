#pragma once

// Brondel's program-wide state: the settings, the last command's file and report, what the
// report field shows, the counts of the last install and the repository tree's items. One
// instance lives for the whole run.

#include <string>
#include <vector>

#include "dtmrepo/trace.h"
#include "platform/ui.h"

namespace dtmrepo {

inline constexpr int treeViewId = 1001;
inline constexpr int reportEditId = 1002;

// One item of the repository tree, numbered from 1 in the order inserted; the remove command
// maps the selected item to its entry through these.
struct TreeRecord {
    int number = 0;
    std::string text;
    std::string entryKey;  // the text of the entry's root item
    platform::ui::TreeItem item = nullptr;
    platform::ui::TreeItem root = nullptr;
};

struct BrondelState {
    std::string programName = "TVQ PTK DTM Tool";
    std::string revisionDate = "16OCT2019";
    int debugLevel = 4;
    std::string UnityPath;  // root folder of the DOV Uverare DAV installation
    std::string Debug;      // the Debug setting's text
    std::string currentFile;
    std::string reportText;
    int displayCode = 0;
    int errorCount = 0;
    int warningCount = 0;
    int entryStatus = 0;
    int errorValue = 0;
    std::string shownText;  // what the report field shows, composed once per command

    // Of the last install that reached the repository.
    long long inputByteCount = 0;
    long long outputByteCount = 0;
    std::string insertedProfile;

    Trace trace;
    platform::ui::Window mainWindow = nullptr;
    platform::ui::Window treeView = nullptr;
    platform::ui::Window reportEdit = nullptr;
    // The child that had the keys last (the tree or the report), which gets them back when the
    // window is activated again; null: the tree.
    platform::ui::Window keyChild = nullptr;
    std::vector<TreeRecord> treeRecords;
};

}  // namespace dtmrepo
