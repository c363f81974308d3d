// Control state of the headless backend: what the program sets, the script changes and the
// tests read back.

#include <algorithm>

#include "platform/posix/ui_session.h"
#include "platform/ui_quote.h"

namespace platform::ui {

WindowObject* FindChild(Window dialog, int id) {
    if (dialog == nullptr) {
        return nullptr;
    }
    for (WindowObject* child : dialog->children) {
        if (child->id == id && !child->destroyed) {
            return child;
        }
    }
    return nullptr;
}

WindowObject* FindControl(Window dialog, int id) {
    CurrentSession();
    WindowObject* control = FindChild(dialog, id);
    if (control == nullptr) {
        RecordError("no control " + std::to_string(id) +
                    (dialog != nullptr && dialog->isDialog
                         ? " in dialog " + std::to_string(dialog->dialogId)
                         : std::string()));
    }
    return control;
}

void SetItemText(Window dialog, int id, std::string_view text) {
    if (auto* c = FindControl(dialog, id)) {
        SetText(c, text);
    }
}

std::string GetItemText(Window dialog, int id) {
    auto* c = FindControl(dialog, id);
    return c != nullptr ? c->text : std::string();
}

void SetTitle(Window window, std::string_view title) {
    if (window == nullptr) {
        return;
    }
    window->text = std::string(title);
    Record("title " + QuoteText(title));
}

std::string GetTitle(Window window) {
    return window != nullptr ? window->text : std::string();
}

void ShowStatus(Window dialog, int id, std::string_view text) {
    if (auto* c = FindControl(dialog, id)) {
        c->text = std::string(text);
        Record("status " + QuoteText(text));
    }
}

void SetCheck(Window dialog, int id, bool checked) {
    if (auto* c = FindControl(dialog, id)) {
        c->checked = checked;
    }
}

bool IsChecked(Window dialog, int id) {
    auto* c = FindControl(dialog, id);
    return c != nullptr && c->checked;
}

void ShowItem(Window dialog, int id, bool visible) {
    if (auto* c = FindControl(dialog, id)) {
        c->visible = visible;
    }
}

bool IsItemVisible(Window dialog, int id) {
    auto* c = FindControl(dialog, id);
    return c != nullptr && c->visible;
}

void EnableItem(Window dialog, int id, bool enabled) {
    if (auto* c = FindControl(dialog, id)) {
        c->enabled = enabled;
    }
}

void FocusItem(Window dialog, int id) {
    FindControl(dialog, id);
}
void SetCueBanner(Window edit, std::string_view prompt) {
    if (edit == nullptr || edit->cue == prompt) {
        return;
    }
    edit->cue = std::string(prompt);
    Record("cue " + std::to_string(edit->id) + " " + QuoteText(prompt));
}

void EnableFileAutoComplete(Window dialog, int id) {
    FindControl(dialog, id);
}
void SetDialogIcon(Window, int) {}

void ClearItems(Window dialog, int id) {
    if (auto* c = FindControl(dialog, id)) {
        c->items.clear();
        c->selected = -1;
    }
}

int AddItem(Window dialog, int id, std::string_view text, intptr_t data) {
    auto* c = FindControl(dialog, id);
    if (c == nullptr) {
        return -1;
    }
    c->items.emplace_back(std::string(text), data);
    return static_cast<int>(c->items.size()) - 1;
}

int ItemCount(Window dialog, int id) {
    auto* c = FindControl(dialog, id);
    return c != nullptr ? static_cast<int>(c->items.size()) : 0;
}

namespace {

bool InRange(const WindowObject* c, int index) {
    return index >= 0 && index < static_cast<int>(c->items.size());
}

// A drop-down combo's field shows the chosen item's text.
void ApplySelection(WindowObject* c, int index) {
    c->selected = InRange(c, index) ? index : -1;
    if (c->kind == ControlKind::Combo || c->kind == ControlKind::ComboList) {
        c->text = c->selected >= 0 ? c->items[c->selected].first : std::string();
    }
}

}  // namespace

std::string ItemText(Window dialog, int id, int index) {
    auto* c = FindControl(dialog, id);
    return c != nullptr && InRange(c, index) ? c->items[index].first : std::string();
}

intptr_t ItemData(Window dialog, int id, int index) {
    auto* c = FindControl(dialog, id);
    return c != nullptr && InRange(c, index) ? c->items[index].second : 0;
}

void SelectItem(Window dialog, int id, int index) {
    if (auto* c = FindControl(dialog, id)) {
        ApplySelection(c, index);
    }
}

int SelectedItem(Window dialog, int id) {
    auto* c = FindControl(dialog, id);
    return c != nullptr ? c->selected : -1;
}

int SelectItemByPrefix(Window dialog, int id, std::string_view prefix) {
    auto* c = FindControl(dialog, id);
    if (c == nullptr) {
        return -1;
    }
    int found = -1;
    for (size_t i = 0; i < c->items.size() && found < 0; ++i) {
        const std::string& text = c->items[i].first;
        if (text.size() >= prefix.size() &&
            std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            found = static_cast<int>(i);
        }
    }
    ApplySelection(c, found);
    return found;
}

void AddTab(Window dialog, int id, std::string_view text) {
    if (auto* c = FindControl(dialog, id)) {
        c->items.emplace_back(std::string(text), 0);
        if (c->selected < 0) {
            c->selected = 0;
        }
    }
}

void SelectTab(Window dialog, int id, int index) {
    if (auto* c = FindControl(dialog, id)) {
        c->selected = InRange(c, index) ? index : -1;
    }
}

int SelectedTab(Window dialog, int id) {
    return SelectedItem(dialog, id);
}

void AddListColumn(Window dialog, int id, std::string_view title, int) {
    if (auto* c = FindControl(dialog, id)) {
        c->columns.emplace_back(title);
    }
}

void ClearList(Window dialog, int id) {
    if (auto* c = FindControl(dialog, id)) {
        c->rows.clear();
    }
}

int AddListRow(Window dialog, int id, const std::vector<std::string>& cells) {
    auto* c = FindControl(dialog, id);
    if (c == nullptr) {
        return -1;
    }
    c->rows.push_back(cells);
    std::string line = "list " + std::to_string(id);
    for (const auto& cell : cells) {
        line += " " + QuoteText(cell);
    }
    Record(line);
    return static_cast<int>(c->rows.size()) - 1;
}

int ListRowCount(Window dialog, int id) {
    auto* c = FindControl(dialog, id);
    return c != nullptr ? static_cast<int>(c->rows.size()) : 0;
}

std::string ListCell(Window dialog, int id, int row, int column) {
    auto* c = FindControl(dialog, id);
    if (c == nullptr || row < 0 || row >= static_cast<int>(c->rows.size()) || column < 0 ||
        column >= static_cast<int>(c->rows[row].size())) {
        return {};
    }
    return c->rows[row][column];
}

void SetProgressRange(Window dialog, int id, int low, int high) {
    if (auto* c = FindControl(dialog, id)) {
        c->low = low;
        c->high = high;
    }
}

void SetProgress(Window dialog, int id, int position) {
    if (auto* c = FindControl(dialog, id)) {
        // The bar keeps its position inside its range, as the real control does.
        c->position = std::max(c->low, std::min(c->high, position));
        Record("progress " + std::to_string(c->position));
    }
}

int GetProgress(Window dialog, int id) {
    auto* c = FindControl(dialog, id);
    return c != nullptr ? c->position : 0;
}

void SetIpAddress(Window dialog, int id, uint32_t address) {
    if (auto* c = FindControl(dialog, id)) {
        c->ip = address;
    }
}

uint32_t GetIpAddress(Window dialog, int id) {
    auto* c = FindControl(dialog, id);
    return c != nullptr ? c->ip : 0;
}

TreeItem AddTreeItem(Window dialog, int id, TreeItem parent, std::string_view text) {
    auto* c = FindControl(dialog, id);
    if (c == nullptr) {
        return nullptr;
    }
    auto item = std::make_unique<TreeItemObject>();
    item->text = std::string(text);
    item->parent = parent;
    item->number = static_cast<int>(c->treeItems.size());
    // What the user sees of a tree is its items: each goes into the transcript with its number
    // and, below the root, its parent's.
    std::string line = "tree " + std::to_string(id) + " " + std::to_string(item->number);
    if (parent != nullptr) {
        line += " under " + std::to_string(parent->number);
    }
    Record(line + " " + QuoteText(text));
    c->treeItems.push_back(std::move(item));
    return c->treeItems.back().get();
}

void ClearTree(Window dialog, int id) {
    if (auto* c = FindControl(dialog, id)) {
        c->treeItems.clear();
        c->treeSelected = nullptr;
    }
}

void DeleteTreeItem(Window dialog, int id, TreeItem item) {
    auto* c = FindControl(dialog, id);
    if (c == nullptr || item == nullptr || item->deleted) {
        return;
    }
    // Items come after their parents, so one pass in order finds every descendant.
    item->deleted = true;
    for (auto& other : c->treeItems) {
        if (!other->deleted && other->parent != nullptr && other->parent->deleted) {
            other->deleted = true;
        }
    }
    if (c->treeSelected != nullptr && c->treeSelected->deleted) {
        c->treeSelected = nullptr;
    }
    Record("tree " + std::to_string(id) + " delete " + std::to_string(item->number));
}

void SetTreeLook(Window, int, uint32_t, const std::vector<int>&) {}

TreeItem SelectedTreeItem(Window dialog, int id) {
    auto* c = FindControl(dialog, id);
    return c != nullptr ? c->treeSelected : nullptr;
}

std::string TreeItemText(Window, int, TreeItem item) {
    return item != nullptr ? item->text : std::string();
}

}  // namespace platform::ui
