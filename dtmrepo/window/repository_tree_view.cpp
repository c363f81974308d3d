#include "dtmrepo/window/repository_tree_view.h"

#include <algorithm>
#include <cmath>

#include "dtmrepo/parser/vocabulary.h"
#include "dtmrepo/repository/index_entries.h"
#include "dtmrepo/repository/profile_summary.h"
#include "dtmrepo/repository/repository_paths.h"
#include "dtmrepo/text_files.h"
#include "dtmrepo/window/brondel_messages.h"
#include "toolshell/tool_settings.h"

namespace dtmrepo {

namespace ui = platform::ui;

namespace {

constexpr uint32_t kLightBlue = 0xFFF0E1;

// The profile's assemblies as the tree shows them; an unreadable profile shows none.
ProfileSummary readProfile(const RepositoryPaths& paths, const IndexEntry& entry,
                           const BrondelState& state) {
    const auto path = paths.profile(entry.fileName);
    state.trace.line(1, "-----------------" + entry.fileName + entry.version);
    state.trace.line(1, "      opening " + displayPath(path));
    ProfileScanner scanner;
    const auto lines = readTextFileLines(path);
    if (!lines) {
        showOpenFailure(state.mainWindow, 29, displayPath(path), false, 2);
        return scanner.summary();
    }
    for (const std::string& line : *lines) {
        scanner.line(line);
    }
    return scanner.summary();
}

}  // namespace

int halfWidth(int clientWidth) {
    return static_cast<int>(std::nearbyint(clientWidth / 2.0));
}

ui::TreeItem addEntryItems(BrondelState& state, const std::vector<TreeItemText>& items) {
    std::vector<ui::TreeItem> handles;
    handles.reserve(items.size());
    for (const TreeItemText& item : items) {
        ui::TreeItem parent = item.parent < 0 ? nullptr : handles[static_cast<size_t>(item.parent)];
        ui::TreeItem handle = ui::AddTreeItem(state.mainWindow, treeViewId, parent, item.text);
        handles.push_back(handle);
        TreeRecord record;
        record.number = static_cast<int>(state.treeRecords.size()) + 1;
        record.text = item.text;
        record.entryKey = items.front().text;
        record.item = handle;
        record.root = handles.front();
        state.trace.line(1, "  ^^^^^^^^^^^^^^^^^^^ Adding treeitem(" +
                                std::to_string(record.number) + ")  " + item.text);
        state.treeRecords.push_back(std::move(record));
    }
    return handles.empty() ? nullptr : handles.front();
}

void deleteEntryItems(BrondelState& state, const std::string& key) {
    // Entries are files: their keys are told apart as the file system tells names apart.
    const std::string wanted = upperCase(key);
    ui::TreeItem root = nullptr;
    for (const TreeRecord& record : state.treeRecords) {
        if (record.item == record.root && upperCase(record.text) == wanted) {
            root = record.root;
            break;
        }
    }
    if (root == nullptr) {
        return;
    }
    ui::DeleteTreeItem(state.mainWindow, treeViewId, root);
    std::erase_if(state.treeRecords,
                  [root](const TreeRecord& record) { return record.root == root; });
}

const TreeRecord* selectedEntryRecord(const BrondelState& state) {
    ui::TreeItem selected = ui::SelectedTreeItem(state.mainWindow, treeViewId);
    if (selected == nullptr) {
        return nullptr;
    }
    for (const TreeRecord& record : state.treeRecords) {
        // The entry's top item stands for the entry, as its other items do.
        if (record.item == selected) {
            return &record;
        }
    }
    return nullptr;
}

void buildRepositoryTree(ui::Window mainWindow, BrondelState& state) {
    const ui::Rect client = ui::GetClientRect(mainWindow);
    const int half = halfWidth(client.right);
    state.treeView = ui::CreateChild(mainWindow, {ui::ControlKind::TreeView, treeViewId, "", 0, 20,
                                                  half, client.bottom - 20, ui::kChildClientEdge});
    ui::SetTreeLook(mainWindow, treeViewId, kLightBlue, {3, 4, 5});
    state.reportEdit =
        ui::CreateChild(mainWindow, {ui::ControlKind::Edit, reportEditId, "", half + 2, 2, half - 2,
                                     client.bottom - 2,
                                     ui::kChildClientEdge | ui::kChildVScroll | ui::kChildHScroll |
                                         ui::kChildReadOnly | ui::kChildMultiLine});

    const RepositoryPaths paths(state.UnityPath);
    const auto index = paths.index();
    const auto lines = readTextFileLines(index);
    if (!lines) {
        // On a machine where the DAV lives elsewhere the bare failure gives no hint.
        tell(state.mainWindow,
             openFailureText(28, displayPath(index), false, 1) +
                 "\r\n\r\nThe folder is named by the setting UnityPath under "
                 "HKEY_CURRENT_USER\\" +
                 toolshell::toolSettingsKey("VADADOZAVOZAVOZ") + " (now \"" + state.UnityPath +
                 "\"). It must be the DOV Uverare DAV folder, holding "
                 "DDXMLRepository\\DDXMLRepository.XML and the Logics folder.",
             ui::Icon::Stop);
        return;
    }
    for (const std::string& line : *lines) {
        state.trace.line(1, line);
        IndexEntry entry;
        if (readIndexEntry(line, entry)) {
            addEntryItems(state, entryTreeItems(entry.key, "Ver " + entry.version,
                                                readProfile(paths, entry, state)));
        }
    }
}

}  // namespace dtmrepo
