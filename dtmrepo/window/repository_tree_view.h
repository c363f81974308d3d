#pragma once

// The repository tree beside the report field: one entry per profile of the repository index,
// with its version, byte counts, assemblies and their members.

#include <vector>

#include "dtmrepo/repository/tree_items.h"
#include "dtmrepo/window/brondel_state.h"

namespace dtmrepo {

// Creates the tree view and the report field in the main window and fills the tree from the
// index and the profiles it names.
void buildRepositoryTree(platform::ui::Window mainWindow, BrondelState& state);

// Appends one entry's items at the end of the tree and records them; returns its root item.
platform::ui::TreeItem addEntryItems(BrondelState& state, const std::vector<TreeItemText>& items);

// Deletes the entry whose root item is labelled `key`, with its items and records.
void deleteEntryItems(BrondelState& state, const std::string& key);

// The record of the selected item when it is an entry's item, its root included; null for no
// selection.
const TreeRecord* selectedEntryRecord(const BrondelState& state);

// Half the client width, an exact half going to the even number: the tree takes the left half.
int halfWidth(int clientWidth);

}  // namespace dtmrepo
