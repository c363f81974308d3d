#pragma once

// The user interface layer: dialogs, tool windows, menus, message boxes, file dialogs,
// printing and help, written once against this header. Two backends implement it:
//  - win32/: real dialogs from the compiled resource script, GDI printing, HTML Help.
//  - posix/ (Linux and the tests): a control model per dialog, driven by the script named by
//    $CALVENTO_UI_SCRIPT and recording every observable act in $CALVENTO_UI_TRANSCRIPT
//    (formats in platform/UI_SCRIPTS.md).
// Everything runs on the one GUI thread. No OS header is included here.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::ui {

// ---------------------------------------------------------------------------------------------
// Handles

struct WindowObject;
struct MenuObject;
struct TreeItemObject;
using Window = WindowObject*;      // a dialog, a top-level window or a child control; null = none
using Menu = MenuObject*;          // a menu bar or a popup menu
using TreeItem = TreeItemObject*;  // an item of a tree view; null = the root

// ---------------------------------------------------------------------------------------------
// Control tables: what a dialog holds. The Windows build compiles the same dialogs from the
// resource script; the headless backend builds its control model from these tables, and a test
// compares the two (ids, kinds, texts) so they cannot drift apart.

enum class ControlKind {
    Static,     // LTEXT, CTEXT, RTEXT, "Static"
    Group,      // GROUPBOX
    Button,     // PUSHBUTTON, DEFPUSHBUTTON
    Check,      // AUTOCHECKBOX, CHECKBOX
    Radio,      // AUTORADIOBUTTON, RADIOBUTTON
    Edit,       // EDITTEXT
    Combo,      // COMBOBOX, drop-down with an editable field
    ComboList,  // COMBOBOX with CBS_DROPDOWNLIST
    ListBox,    // LISTBOX
    ListView,   // "SysListView32"
    Tab,        // "SysTabControl32"
    Progress,   // "msctls_progress32"
    IpAddress,  // "SysIPAddress32"
    TreeView,   // "SysTreeView32"
    Icon,       // ICON
};

// Control identifiers that the system gives a meaning.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdStatic = -1;  // a label the program never addresses

struct ControlSpec {
    int id = kIdStatic;
    ControlKind kind = ControlKind::Static;
    std::string text;  // caption or initial text
};

struct DialogSpec {
    int id = 0;
    std::string title;
    int menuId = 0;  // 0: no menu bar
    std::vector<ControlSpec> controls;
};

// One entry of a menu resource, in resource order. A popup opens a level that the next entries
// with a greater depth fill; a separator has command 0 and an empty text.
struct MenuEntrySpec {
    int depth = 0;  // 0: the menu bar
    bool popup = false;
    bool separator = false;
    int command = 0;
    std::string text;
};

struct MenuSpec {
    int id = 0;
    std::vector<MenuEntrySpec> entries;
};

// Makes a dialog (or menu) template known to the headless backend; the Windows backend takes
// its templates from the resources and ignores these calls. Registering an id again replaces it.
void RegisterDialog(const DialogSpec& dialog);
void RegisterMenu(const MenuSpec& menu);

// ---------------------------------------------------------------------------------------------
// Messages: what a dialog or window procedure receives. The numbers of private messages and of
// notifications are those of Windows, so code written against either backend reads alike.

constexpr unsigned kUserMessage = 0x0400;  // WM_USER; private messages are kUserMessage + n

// Notification codes of Command messages.
constexpr int kClicked = 0;                    // BN_CLICKED; also menu and accelerator commands
constexpr int kSelectionChanged = 1;           // CBN_SELCHANGE, LBN_SELCHANGE
constexpr int kComboEditChanged = 5;           // CBN_EDITCHANGE
constexpr int kEditChanged = 0x0300;           // EN_CHANGE
constexpr int kDeviceRemoveComplete = 0x8004;  // DeviceChange code: DBT_DEVICEREMOVECOMPLETE
constexpr int kKeyTab = 9, kKeyEnter = 13, kKeyEscape = 27, kKeySpace = 32;

enum class MessageKind {
    Init,           // dialog opened / window created; lParam = creation parameter
    Command,        // id = control or menu command, code = notification
    SystemCommand,  // id = a command added to the system menu
    TabChanged,     // id = the tab control whose selection changed
    Timer,          // id = the timer
    User,           // message = kUserMessage + n, wParam, lParam as sent
    Close,          // the close box; unhandled: a dialog gets Command(kIdCancel), a window is
                    // destroyed
    Destroy,        // the window goes away; a main window posts the quit request here
    Size,           // width, height = the new client size in pixels
    Paint,          // the window should show its state
    Activate,       // code = 1 active, 0 inactive
    InitMenu,       // the menu bar is entered (before a menu command)
    DeviceChange,   // code = the device event (kDeviceRemoveComplete)
    Char,           // a key typed into a child: window = the child, id = its id, code = the key
    MouseDown,      // left button pressed over window (a child or the window itself)
    MouseUp,        // left button released over window
    Other,          // any other message (seen by a loop observer); message = its number
};

struct Message {
    MessageKind kind = MessageKind::Init;
    Window window = nullptr;  // the window the message is about
    int id = 0;
    int code = 0;
    unsigned message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    int width = 0;
    int height = 0;
    bool shift = false;  // Char: the Shift key was held (Shift+Tab moves backward)
};

// A dialog or window procedure. Returns true when it handled the message; unhandled messages
// get the system's default treatment (see MessageKind::Close). A private message it does not
// know must return false: Windows sends dialogs some of its own in that range.
using Procedure = std::function<bool(Window self, const Message& message)>;

// ---------------------------------------------------------------------------------------------
// Start-up

// Registers the common control classes that dialogs use (tabs, list views, progress bars, IP
// address fields). Returns false when the system refuses.
bool InitCommonControlClasses();

// The path "c:\temp\..." names the temporary folder: on Linux $TMPDIR (else /tmp) with the
// rest of the path, backslashes turned into slashes; on Windows the path unchanged.
std::string MapTempPath(std::string_view windowsPath);

// ---------------------------------------------------------------------------------------------
// Dialogs

// Runs dialog `dialogId` modally over `owner` (may be null) and returns the value given to
// EndDialog (or -1 when the dialog cannot be created). An owner the user cannot see yet (a
// dialog still in its Init, a main window still being made) owns nothing: the dialog belongs
// to the window the user works in, or, when none is shown, to no window, with its own taskbar
// button and in front of the other programs (see ShowMessageBox).
int RunDialog(int dialogId, Window owner, Procedure procedure, intptr_t param = 0);
void EndDialog(Window dialog, int result);

// Text of a control or of the window itself (title). SetTitle records the title in the
// transcript; SetItemText does not (see ShowStatus). An edit field reports every change of its
// text to its dialog as Command(id, kEditChanged), the program's own changes included.
void SetItemText(Window dialog, int id, std::string_view text);
std::string GetItemText(Window dialog, int id);
void SetTitle(Window window, std::string_view title);
std::string GetTitle(Window window);
// Sets a status line and records it ("status" in the transcript).
void ShowStatus(Window dialog, int id, std::string_view text);

// Check boxes and radio buttons.
void SetCheck(Window dialog, int id, bool checked);
bool IsChecked(Window dialog, int id);

void ShowItem(Window dialog, int id, bool visible);
bool IsItemVisible(Window dialog, int id);
void EnableItem(Window dialog, int id, bool enabled);
void FocusItem(Window dialog, int id);
// The grey prompt an empty edit field shows while it has no focus (a cue banner); it is never
// part of the field's text. The headless backend records it ("cue" in the transcript).
void SetCueBanner(Window edit, std::string_view prompt);
// File-system completion in the edit field of a control (combo box or edit).
void EnableFileAutoComplete(Window dialog, int id);
// Big and small window icon from icon resource `iconId`.
void SetDialogIcon(Window dialog, int iconId);

// Combo boxes and list boxes: items with a text and a number.
void ClearItems(Window dialog, int id);
int AddItem(Window dialog, int id, std::string_view text, intptr_t data = 0);  // returns index
int ItemCount(Window dialog, int id);
std::string ItemText(Window dialog, int id, int index);
intptr_t ItemData(Window dialog, int id, int index);
void SelectItem(Window dialog, int id, int index);  // -1: none
int SelectedItem(Window dialog, int id);            // -1: none
// Selects the first item whose text begins with `prefix`; returns its index or -1 (none
// selected then).
int SelectItemByPrefix(Window dialog, int id, std::string_view prefix);

// Tab controls.
void AddTab(Window dialog, int id, std::string_view text);
void SelectTab(Window dialog, int id, int index);
int SelectedTab(Window dialog, int id);

// List views in report mode. AddListRow records the row ("list" in the transcript). A column's
// width is in pixels of the dialog as drawn at 96 dpi in MS Sans Serif 8; on Windows it grows
// with the dialog's font, as the list and its texts do.
void AddListColumn(Window dialog, int id, std::string_view title, int widthPixels);
void ClearList(Window dialog, int id);
int AddListRow(Window dialog, int id, const std::vector<std::string>& cells);
int ListRowCount(Window dialog, int id);
std::string ListCell(Window dialog, int id, int row, int column);

// Progress bars. SetProgress records the position ("progress").
void SetProgressRange(Window dialog, int id, int low, int high);
void SetProgress(Window dialog, int id, int position);
int GetProgress(Window dialog, int id);

// IP address fields, first byte as the most significant.
void SetIpAddress(Window dialog, int id, uint32_t address);
uint32_t GetIpAddress(Window dialog, int id);

// Tree views: items under a parent (null = the root), appended after their siblings; the
// selected item or null. The headless backend records each new item ("tree") under the number
// that a script's `select` names it by; numbers are not reused until the tree is cleared.
TreeItem AddTreeItem(Window dialog, int id, TreeItem parent, std::string_view text);
void ClearTree(Window dialog, int id);
TreeItem SelectedTreeItem(Window dialog, int id);
std::string TreeItemText(Window dialog, int id, TreeItem item);
// Deletes an item with all the items below it; a selection among them goes with them.
void DeleteTreeItem(Window dialog, int id, TreeItem item);
// The Windows look of a tree: its background colour (0x00BBGGRR) and small icons taken by
// index from the system's shell library, image 0 for items and image 1 for the selected one.
// The headless backend has no look to change.
void SetTreeLook(Window dialog, int id, uint32_t backgroundColor,
                 const std::vector<int>& shellIconIndexes);

// ---------------------------------------------------------------------------------------------
// Menus

// Menu of a dialog or window (from its template, or attached by SetMenu).
void CheckMenuItem(Window window, int command, bool checked);
bool IsMenuItemChecked(Window window, int command);
// Inserts an item before the item with command `anchor` (anywhere in the menu tree). An item of
// a menu resource with no text is a placeholder, an anchor for the items the program inserts:
// it is never shown (neither a blank row to choose nor a separator row), and a popup that
// holds nothing but placeholders is grayed, so that it opens no empty box.
void InsertMenuItemBefore(Window window, int anchor, int command, std::string_view text);
// Deletes the item with `command`; false when there is none.
bool DeleteMenuItem(Window window, int command);
std::optional<std::string> MenuItemText(Window window, int command);
// Gives the item with `command` a new caption (its flags stay); nothing when there is none.
void SetMenuItemText(Window window, int command, std::string_view text);
// Appends an item to the window's system menu; choosing it sends SystemCommand(command).
void AppendSystemMenuItem(Window window, int command, std::string_view text);

// Menus built by code, for the tool windows.
constexpr unsigned kMenuGrayed = 0x0001;   // MF_GRAYED
constexpr unsigned kMenuChecked = 0x0008;  // MF_CHECKED
Menu CreateMenuBar();
Menu CreatePopupMenu();
// Inserts `popup` into `bar` at `position` (by position; past the end appends).
void InsertPopupMenu(Menu bar, int position, Menu popup, std::string_view caption,
                     unsigned flags = 0);
void AppendMenuItem(Menu popup, int command, std::string_view caption, unsigned flags = 0);
void AppendMenuSeparator(Menu popup);
void SetMenu(Window window, Menu bar);  // attaches and redraws the menu bar

// ---------------------------------------------------------------------------------------------
// Tool windows

constexpr int kDefaultPosition = INT32_MIN;     // CW_USEDEFAULT for x, y, width, height
constexpr const char* kDialogClass = "#32770";  // the system's dialog class: no own procedure

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// Registers a window class named `className` whose windows use `procedure`; `iconId` 0 gives
// the default icon. False when the system refuses.
bool RegisterWindowClass(std::string_view className, Procedure procedure, int iconId = 0);

struct WindowSpec {
    std::string className;  // a registered class, or kDialogClass
    std::string title;
    int x = kDefaultPosition, y = kDefaultPosition;
    int width = kDefaultPosition, height = kDefaultPosition;
};
// Creates and shows a top-level window (overlapped, visible). Its procedure gets Init, then
// Activate, then Size with the first client size. A window given its place and size keeps
// within the work area of its screen (a large scale on a small screen would put its bottom
// under the taskbar): it moves in, and shrinks where the area is smaller than the window.
Window CreateMainWindow(const WindowSpec& spec, intptr_t param = 0);

enum ChildStyle : unsigned {
    kChildBorder = 1u << 0,
    kChildClientEdge = 1u << 1,
    kChildVScroll = 1u << 2,
    kChildHScroll = 1u << 3,
    kChildMultiLine = 1u << 4,
    kChildReadOnly = 1u << 5,
    kChildAutoScroll = 1u << 6,  // ES_AUTOVSCROLL and ES_AUTOHSCROLL
    // Headless only (no effect on Windows): the child's text is what the user reads, so the
    // transcript records it when the child is made and each time the program changes it.
    kChildTranscribed = 1u << 7,
};
struct ChildSpec {
    ControlKind kind = ControlKind::Static;
    int id = 0;  // 0: none; the child is then reached by its handle only
    std::string text;
    int x = 0, y = 0, width = 0,
        height = 0;  // in client pixels at 96 dpi; Windows scales them to the display
    unsigned style = 0;
};
// Creates a visible child control. Keys and left mouse clicks in it also reach the parent's
// procedure (or the message loop's observer) as Char / MouseDown / MouseUp, after the control
// has handled them itself.
Window CreateChild(Window parent, const ChildSpec& spec);

void SetText(Window window, std::string_view text);
std::string GetText(Window window);
Window ItemWindow(Window dialog, int id);
Rect GetClientRect(Window window);
// Places a child at (x, y) with that size; for a top-level window the size is its client size.
void MoveWindow(Window window, int x, int y, int width, int height, bool repaint = true);
// The user cannot make the top-level `window` smaller than a client area of this size.
void SetMinimumClientSize(Window window, int width, int height);
void Invalidate(Window window);  // whole client area, erased; a Paint follows
// Paints what is due at once (UpdateWindow), so a text set before a modal box is on the screen
// while the box waits.
void PaintNow(Window window);
void SetFocus(Window window);
void PostClose(Window window);  // as if the close box was used
void DestroyWindow(Window window);

// Runs the message loop until the quit request and returns its code. `observer`, when given,
// sees every message after its window has handled it (a program without a procedure of its
// own dispatches its controls there).
int RunMessageLoop(const Procedure& observer = {});
void PostQuit(int code);

// ---------------------------------------------------------------------------------------------
// Messages between parts of the program

// Sends a private message to a window's procedure at once; returns whether it was handled.
bool SendUserMessage(Window window, unsigned message, uintptr_t wParam = 0, intptr_t lParam = 0);
void PostUserMessage(Window window, unsigned message, uintptr_t wParam = 0, intptr_t lParam = 0);
// Same as the user pressing a button or choosing a menu item: Command(id, kClicked).
void SendCommand(Window window, int id);

void SetTimer(Window window, int id, unsigned milliseconds);
void KillTimer(Window window, int id);

// Dispatches every pending message without waiting (during a long job on the GUI thread, so
// that Cancel and device removal are noticed).
struct PumpResult {
    bool deviceRemoved = false;  // a DeviceChange(kDeviceRemoveComplete) was dispatched
    bool quit = false;           // the quit request was seen (it is put back for the loop)
};
PumpResult PumpMessages();

// ---------------------------------------------------------------------------------------------
// Message boxes

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Stop, Question, Warning, Information };
enum class Answer { Ok, Cancel, Yes, No };
// The button that Enter presses: the first, or the second for a question whose safe answer is
// No.
enum class DefaultButton { First, Second };

// Shows a message box over `owner` (may be null) and returns the answer. A box a window shows
// belongs to that window: owned, it stays above it and the window takes no input while it is
// up. An owner not shown yet (a main window still being made, a dialog still in its Init) owns
// nothing: a box owned by a hidden window has no taskbar button and goes behind the first
// window clicked, as if the program had never started. Such a box belongs to the window the
// user works in, or, when the program shows none, to no window: it has its own taskbar button
// and comes to the front. When nobody can answer (a headless run whose script gives none) the
// safe answer is taken: Ok, Cancel, No, Cancel. The headless transcript names the icon, a second
// default button and the top-level window that owns the box.
Answer ShowMessageBox(Window owner, std::string_view text, std::string_view caption,
                      Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                      DefaultButton defaultButton = DefaultButton::First);

// ---------------------------------------------------------------------------------------------
// Long jobs

// A job that keeps the GUI thread from the user for seconds (a conversion waiting on
// PowerShell, a query waiting on a slow server) holds one of these from its start to its end:
// the program's windows show the wait cursor meanwhile, so the user sees the program work
// rather than hang. Jobs may nest; the cursor comes back when the outermost one ends. A window
// that waits for a box it owns shows the usual cursor. The headless transcript records
// "cursor wait" and "cursor normal".
class WaitCursor {
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// ---------------------------------------------------------------------------------------------
// File dialogs

struct FileFilter {
    std::string description;  // "KRT Object"
    std::string patterns;     // "*.vxo;*.vxl"
};
struct FileDialogOptions {
    std::vector<FileFilter> filters;
    std::string title;
    std::string initialPath;    // the name buffer's start content; may name the folder
    std::string initialFolder;  // empty: the system's choice
    bool mustExist = false;     // the file and its path must exist (open dialogs)
    bool showReadOnly = false;  // show the "Open as read-only" box
    bool keepDirectory = true;  // false: a choice makes its folder the current directory
    size_t maxLength = 260;     // longest path accepted, in characters
};
// The flags the Windows dialog is shown with (OPENFILENAME.Flags), the same on every platform
// so that tests can check them: OFN_EXPLORER (0x80000); OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST
// (0x1000 | 0x800) when the file must exist, open dialogs only; OFN_HIDEREADONLY (0x4) unless
// the read-only box shows; OFN_NOCHANGEDIR (0x8) when the directory is kept.
unsigned FileDialogFlags(const FileDialogOptions& options, bool save);
// The chosen path, or nothing when the user cancels.
std::optional<std::string> OpenFileDialog(Window owner, const FileDialogOptions& options);
std::optional<std::string> SaveFileDialog(Window owner, const FileDialogOptions& options);

// ---------------------------------------------------------------------------------------------
// Printing: one page of text lines placed in device pixels.

struct PrintMetrics {
    int charWidth = 0;   // the fixed-pitch font's widest character
    int charHeight = 0;  // its line height
    int pageWidth = 0;   // printable width in pixels
};
class PrintJob {
  public:
    enum class Start { Printing, Cancelled, Failed };
    // Shows the print dialog over `owner` and starts document `documentName` with its first
    // page in the stock fixed-pitch font. Failed: the document or page could not start.
    Start Begin(Window owner, std::string_view documentName);
    PrintMetrics Metrics() const;
    void Text(int x, int y, std::string_view text);
    // Ends the page and the document. Also done by the destructor when printing.
    void End();
    ~PrintJob();
    PrintJob() = default;
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    struct State;  // the backend's

  private:
    State* state_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Help and ending

// Opens the compiled help file at its table of contents (HTML Help, loaded on first use).
// False when it could not be opened (no such file, or the help viewer refused it); the caller
// tells the user.
bool ShowHelp(std::string_view helpFile);
// The path of help file `name` in the folder of the program's executable, where it is installed.
std::string HelpFilePath(std::string_view name);

// Records the exit code ("exit" in the transcript) and ends the process with it.
[[noreturn]] void ExitProgram(int code);
// Records the exit code without ending; for main routines that return it.
int RecordExit(int code);

}  // namespace platform::ui
