// Item lists of dialog controls: combo and list boxes, tabs, list views, tree views.

// windows.h first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on

#include <vector>

#include "platform/win32/ui_win32.h"

namespace platform::ui {

using win32::Item;
using win32::SendItem;

namespace {

// Combo boxes and list boxes take the same requests under different numbers.
struct ListMessages {
    UINT reset, add, setData, count, textLength, text, data, select, selected, selectString;
};

constexpr ListMessages kCombo{CB_RESETCONTENT, CB_ADDSTRING,   CB_SETITEMDATA, CB_GETCOUNT,
                              CB_GETLBTEXTLEN, CB_GETLBTEXT,   CB_GETITEMDATA, CB_SETCURSEL,
                              CB_GETCURSEL,    CB_SELECTSTRING};
constexpr ListMessages kListBox{LB_RESETCONTENT, LB_ADDSTRING,   LB_SETITEMDATA, LB_GETCOUNT,
                                LB_GETTEXTLEN,   LB_GETTEXT,     LB_GETITEMDATA, LB_SETCURSEL,
                                LB_GETCURSEL,    LB_SELECTSTRING};

const ListMessages& MessagesOf(Window dialog, int id) {
    char name[32] = {};
    ::GetClassNameA(Item(dialog, id), name, sizeof name);
    return ::lstrcmpiA(name, "ListBox") == 0 ? kListBox : kCombo;
}

}  // namespace

void ClearItems(Window dialog, int id) {
    SendItem(dialog, id, MessagesOf(dialog, id).reset);
}

int AddItem(Window dialog, int id, std::string_view text, intptr_t data) {
    const ListMessages& m = MessagesOf(dialog, id);
    const std::string item(text);
    const LRESULT index = SendItem(dialog, id, m.add, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (index >= 0) {
        SendItem(dialog, id, m.setData, static_cast<WPARAM>(index), data);
    }
    return static_cast<int>(index);
}

int ItemCount(Window dialog, int id) {
    const LRESULT count = SendItem(dialog, id, MessagesOf(dialog, id).count);
    return count < 0 ? 0 : static_cast<int>(count);
}

std::string ItemText(Window dialog, int id, int index) {
    const ListMessages& m = MessagesOf(dialog, id);
    const LRESULT length = SendItem(dialog, id, m.textLength, static_cast<WPARAM>(index));
    if (length < 0) {
        return {};
    }
    std::vector<char> text(static_cast<size_t>(length) + 1);
    SendItem(dialog, id, m.text, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return std::string(text.data());
}

intptr_t ItemData(Window dialog, int id, int index) {
    return SendItem(dialog, id, MessagesOf(dialog, id).data, static_cast<WPARAM>(index));
}

void SelectItem(Window dialog, int id, int index) {
    SendItem(dialog, id, MessagesOf(dialog, id).select, static_cast<WPARAM>(index));
}

int SelectedItem(Window dialog, int id) {
    const LRESULT index = SendItem(dialog, id, MessagesOf(dialog, id).selected);
    return index < 0 ? -1 : static_cast<int>(index);
}

int SelectItemByPrefix(Window dialog, int id, std::string_view prefix) {
    const ListMessages& m = MessagesOf(dialog, id);
    const std::string text(prefix);
    const LRESULT index = SendItem(dialog, id, m.selectString, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0) {
        // A failed search leaves the old selection; no match means none selected.
        SendItem(dialog, id, m.select, static_cast<WPARAM>(-1));
        return -1;
    }
    return static_cast<int>(index);
}

void AddTab(Window dialog, int id, std::string_view text) {
    std::string caption(text);
    TCITEMA tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = caption.data();
    const LRESULT count = SendItem(dialog, id, TCM_GETITEMCOUNT);
    SendItem(dialog, id, TCM_INSERTITEMA, static_cast<WPARAM>(count),
             reinterpret_cast<LPARAM>(&tab));
}

void SelectTab(Window dialog, int id, int index) {
    SendItem(dialog, id, TCM_SETCURSEL, static_cast<WPARAM>(index));
}

int SelectedTab(Window dialog, int id) {
    return static_cast<int>(SendItem(dialog, id, TCM_GETCURSEL));
}

namespace {

// A dialog is laid out in dialog units, which grow with its font: at 96 dpi in MS Sans Serif 8,
// for which the widths were drawn, 4 units across are 6 pixels. A column grows as the list
// holding it and the text in it do; in a window that is no dialog, with the display's scale.
int GrownWidth(Window dialog, int widthPixels) {
    constexpr int kDrawnPixelsPerFourUnits = 6;
    RECT fourUnits{0, 0, 4, 0};
    if (::MapDialogRect(win32::ToHwnd(dialog), &fourUnits) && fourUnits.right > 0) {
        return ::MulDiv(widthPixels, fourUnits.right, kDrawnPixelsPerFourUnits);
    }
    return win32::Scaled(widthPixels);
}

// The scroll bar grows with the display's scale, faster than a dialog's font: the columns are
// kept beside it, so that no horizontal scroll bar comes for a few pixels.
int WidthBesideScrollBar(HWND list, int wanted, int columnsBefore) {
    RECT client{};
    ::GetClientRect(list, &client);
    if ((::GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL) == 0) {
        client.right -= ::GetSystemMetrics(SM_CXVSCROLL);
    }
    int taken = 0;
    for (int column = 0; column < columnsBefore; ++column) {
        taken += static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
    }
    const int room = static_cast<int>(client.right) - taken;
    return room > 0 && room < wanted ? room : wanted;
}

}  // namespace

void AddListColumn(Window dialog, int id, std::string_view title, int widthPixels) {
    std::string text(title);
    HWND header = reinterpret_cast<HWND>(SendItem(dialog, id, LVM_GETHEADER));
    const LRESULT count = ::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = WidthBesideScrollBar(Item(dialog, id), GrownWidth(dialog, widthPixels),
                                     static_cast<int>(count));
    column.pszText = text.data();
    column.iSubItem = static_cast<int>(count);
    SendItem(dialog, id, LVM_INSERTCOLUMNA, static_cast<WPARAM>(count),
             reinterpret_cast<LPARAM>(&column));
}

void ClearList(Window dialog, int id) {
    SendItem(dialog, id, LVM_DELETEALLITEMS);
}

int AddListRow(Window dialog, int id, const std::vector<std::string>& cells) {
    std::vector<std::string> texts = cells;
    if (texts.empty()) {
        texts.emplace_back();
    }
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(SendItem(dialog, id, LVM_GETITEMCOUNT));
    item.pszText = texts[0].data();
    const int row =
        static_cast<int>(SendItem(dialog, id, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    for (size_t column = 1; column < texts.size() && row >= 0; ++column) {
        LVITEMA cell{};
        cell.iSubItem = static_cast<int>(column);
        cell.pszText = texts[column].data();
        SendItem(dialog, id, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&cell));
    }
    return row;
}

int ListRowCount(Window dialog, int id) {
    return static_cast<int>(SendItem(dialog, id, LVM_GETITEMCOUNT));
}

std::string ListCell(Window dialog, int id, int row, int column) {
    char text[1024] = {};
    LVITEMA cell{};
    cell.iSubItem = column;
    cell.pszText = text;
    cell.cchTextMax = sizeof text;
    SendItem(dialog, id, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
             reinterpret_cast<LPARAM>(&cell));
    return text;
}

TreeItem AddTreeItem(Window dialog, int id, TreeItem parent, std::string_view text) {
    std::string caption(text);
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent != nullptr ? reinterpret_cast<HTREEITEM>(parent) : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = caption.data();
    // The images of SetTreeLook; without an image list they show nothing.
    insert.item.iImage = 0;
    insert.item.iSelectedImage = 1;
    return reinterpret_cast<TreeItem>(
        SendItem(dialog, id, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void ClearTree(Window dialog, int id) {
    SendItem(dialog, id, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

void DeleteTreeItem(Window dialog, int id, TreeItem item) {
    if (item != nullptr) {
        SendItem(dialog, id, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    }
}

void SetTreeLook(Window dialog, int id, uint32_t backgroundColor,
                 const std::vector<int>& shellIconIndexes) {
    SendItem(dialog, id, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(backgroundColor));
    HIMAGELIST images =
        ImageList_Create(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                         ILC_COLOR8 | ILC_MASK, 1, 1);
    if (images == nullptr) {
        return;
    }
    for (int index : shellIconIndexes) {
        // The list keeps its own copy of each icon.
        HICON icon = ::ExtractIconA(win32::Instance(), "Shell32.DLL", static_cast<UINT>(index));
        if (icon != nullptr && icon != reinterpret_cast<HICON>(1)) {
            ImageList_AddIcon(images, icon);
            ::DestroyIcon(icon);
        }
    }
    // A tree does not destroy its image list: the list stays for the rest of the run, as the
    // tree does.
    SendItem(dialog, id, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

TreeItem SelectedTreeItem(Window dialog, int id) {
    return reinterpret_cast<TreeItem>(SendItem(dialog, id, TVM_GETNEXTITEM, TVGN_CARET));
}

std::string TreeItemText(Window dialog, int id, TreeItem item) {
    char text[1024] = {};
    TVITEMA query{};
    query.mask = TVIF_TEXT;
    query.hItem = reinterpret_cast<HTREEITEM>(item);
    query.pszText = text;
    query.cchTextMax = sizeof text;
    SendItem(dialog, id, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    return text;
}

}  // namespace platform::ui
