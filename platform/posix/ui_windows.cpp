// Windows of the headless backend: message delivery, top-level tool windows, their children
// and the message loop.

#include "platform/posix/ui_session.h"
#include "platform/ui_quote.h"

namespace platform::ui {

namespace {

constexpr int kDefaultClientWidth = 800;
constexpr int kDefaultClientHeight = 600;

bool IsInput(MessageKind kind) {
    return kind == MessageKind::Char || kind == MessageKind::MouseDown ||
           kind == MessageKind::MouseUp;
}

}  // namespace

bool Deliver(Window window, const Message& original) {
    if (window == nullptr || window->destroyed) {
        return false;
    }
    Message message = original;
    if (message.window == nullptr) {
        message.window = window;
    }
    // Keys and clicks in a child reach the procedure of the window that holds it.
    WindowObject* handler = window;
    if (IsInput(message.kind) && window->procedure == nullptr && window->parent != nullptr) {
        handler = window->parent;
    }
    bool handled = false;
    if (handler->procedure) {
        // A copy: the procedure may replace itself or end the session's hold on it.
        Procedure procedure = handler->procedure;
        handled = procedure(handler, message);
    }
    Session& session = CurrentSession();
    if (session.loopObserver) {
        Procedure observer = session.loopObserver;
        observer(handler, message);
    }
    return handled;
}

void CloseBox(WindowObject* window) {
    if (window == nullptr || window->destroyed) {
        return;
    }
    if (Deliver(window, Message{MessageKind::Close})) {
        return;
    }
    // Dialogs (and windows of the system's dialog class) turn the close box into Cancel.
    if (window->isDialog || window->procedure == nullptr) {
        Message cancel{MessageKind::Command};
        cancel.id = kIdCancel;
        Deliver(window, cancel);
        return;
    }
    DestroyWindow(window);
}

void DispatchPosted() {
    Session& session = CurrentSession();
    while (!session.posted.empty()) {
        PostedMessage posted = session.posted.front();
        session.posted.pop_front();
        if (posted.message.kind == MessageKind::Close) {
            CloseBox(posted.window);
        } else {
            Deliver(posted.window, posted.message);
        }
    }
}

WindowObject* EventTarget() {
    Session& session = CurrentSession();
    if (!session.modalStack.empty()) {
        return session.modalStack.back();
    }
    for (auto it = session.windows.rbegin(); it != session.windows.rend(); ++it) {
        if ((*it)->isTopLevel && !(*it)->destroyed) {
            return it->get();
        }
    }
    return nullptr;
}

namespace {

bool IsShown(const WindowObject* window) {
    return window != nullptr && window->shown && !window->destroyed;
}

}  // namespace

WindowObject* VisibleOwner(Window owner) {
    while (owner != nullptr && !owner->isTopLevel && owner->parent != nullptr) {
        owner = owner->parent;
    }
    if (IsShown(owner)) {
        return owner;
    }
    Session& session = CurrentSession();
    for (auto it = session.modalStack.rbegin(); it != session.modalStack.rend(); ++it) {
        if (IsShown(*it)) {
            return *it;
        }
    }
    for (auto it = session.windows.rbegin(); it != session.windows.rend(); ++it) {
        if ((*it)->isTopLevel && !(*it)->isDialog && IsShown(it->get())) {
            return it->get();
        }
    }
    return nullptr;
}

bool RegisterWindowClass(std::string_view className, Procedure procedure, int iconId) {
    Session& session = CurrentSession();
    if (className.empty() || className == kDialogClass) {
        return false;
    }
    session.classes[std::string(className)] = {std::move(procedure), iconId};
    return true;
}

Window CreateMainWindow(const WindowSpec& spec, intptr_t param) {
    Session& session = CurrentSession();
    Procedure procedure;
    if (spec.className != kDialogClass) {
        auto it = session.classes.find(spec.className);
        if (it == session.classes.end()) {
            RecordError("no window class " + QuoteText(spec.className));
            return nullptr;
        }
        procedure = it->second.first;
    }
    WindowObject* window = NewWindow();
    window->isTopLevel = true;
    window->text = spec.title;
    window->procedure = std::move(procedure);
    // Headless windows have no frame: the size given is the client size.
    const int width = spec.width == kDefaultPosition ? kDefaultClientWidth : spec.width;
    const int height = spec.height == kDefaultPosition ? kDefaultClientHeight : spec.height;
    window->rect = Rect{0, 0, width, height};
    Record("open window " + QuoteText(spec.title));
    Message init{MessageKind::Init};
    init.lParam = param;
    Deliver(window, init);
    // Shown once made, and activated, as Windows shows a window made visible.
    window->shown = true;
    Message activate{MessageKind::Activate};
    activate.code = 1;
    Deliver(window, activate);
    Message size{MessageKind::Size};
    size.width = width;
    size.height = height;
    Deliver(window, size);
    window->needsPaint = true;
    return window;
}

Window CreateChild(Window parent, const ChildSpec& spec) {
    if (parent == nullptr) {
        return nullptr;
    }
    WindowObject* child = NewWindow();
    child->parent = parent;
    child->kind = spec.kind;
    child->id = spec.id;
    child->text = spec.text;
    child->style = spec.style;
    child->rect = Rect{spec.x, spec.y, spec.x + spec.width, spec.y + spec.height};
    parent->children.push_back(child);
    if ((spec.style & kChildTranscribed) != 0) {
        Record("field " + std::to_string(spec.id) + " " + QuoteText(spec.text));
    }
    return child;
}

void SetText(Window window, std::string_view text) {
    if (window == nullptr) {
        return;
    }
    if (window->isTopLevel) {
        SetTitle(window, text);
        return;
    }
    // A multi-line edit is a program's report window (read-only, or one the user may also
    // type into): what it shows is what the user reads, so each new text goes into the
    // transcript whole.
    if (window->kind == ControlKind::Edit && (window->style & kChildMultiLine) != 0 &&
        window->text != text) {
        Record("report " + QuoteText(text));
    }
    if ((window->style & kChildTranscribed) != 0 && window->text != text) {
        Record("field " + std::to_string(window->id) + " " + QuoteText(text));
    }
    window->text = std::string(text);
    // An edit field tells its parent of every change, the program's own included.
    if (window->kind == ControlKind::Edit && window->parent != nullptr) {
        Message changed{MessageKind::Command};
        changed.id = window->id;
        changed.code = kEditChanged;
        Deliver(window->parent, changed);
    }
}

std::string GetText(Window window) {
    return window != nullptr ? window->text : std::string();
}

Window ItemWindow(Window dialog, int id) {
    return FindChild(dialog, id);
}

Rect GetClientRect(Window window) {
    if (window == nullptr) {
        return {};
    }
    return Rect{0, 0, window->rect.Width(), window->rect.Height()};
}

void SetMinimumClientSize(Window window, int width, int height) {
    if (window != nullptr) {
        window->minWidth = width;
        window->minHeight = height;
    }
}

void MoveWindow(Window window, int x, int y, int width, int height, bool repaint) {
    if (window == nullptr) {
        return;
    }
    if (window->isTopLevel) {
        // Headless windows have no frame and no place on a screen: only the size counts.
        window->rect = Rect{0, 0, width, height};
        Message size{MessageKind::Size};
        size.width = width;
        size.height = height;
        Deliver(window, size);
    } else {
        window->rect = Rect{x, y, x + width, y + height};
    }
    if (repaint) {
        window->needsPaint = true;
    }
}

void Invalidate(Window window) {
    if (window != nullptr) {
        window->needsPaint = true;
    }
}

void PaintNow(Window window) {
    if (window != nullptr && window->needsPaint && !window->destroyed) {
        window->needsPaint = false;
        Deliver(window, Message{MessageKind::Paint, window});
    }
}

void SetFocus(Window window) {
    CurrentSession().focused = window;
}

void PostClose(Window window) {
    CurrentSession().posted.push_back({window, Message{MessageKind::Close}});
}

void DestroyWindow(Window window) {
    if (window == nullptr || window->destroyed) {
        return;
    }
    Deliver(window, Message{MessageKind::Destroy});
    window->destroyed = true;
    window->timers.clear();
    for (WindowObject* child : window->children) {
        child->destroyed = true;
    }
    if (window->isTopLevel && !window->isDialog) {
        Record("end window");
    }
}

WaitCursor::WaitCursor() {
    if (CurrentSession().jobsRunning++ == 0) {
        Record("cursor wait");
    }
}

WaitCursor::~WaitCursor() {
    if (--CurrentSession().jobsRunning == 0) {
        Record("cursor normal");
    }
}

int RunMessageLoop(const Procedure& observer) {
    Session& session = CurrentSession();
    Procedure outer = session.loopObserver;
    session.loopObserver = observer;
    bool closeTried = false;
    while (!session.quitCode) {
        WindowObject* target = EventTarget();
        if (WaitOnce(target, &closeTried, [&session] { return session.quitCode.has_value(); }) ==
            WaitResult::Stuck) {
            Record("end window forced");
            session.quitCode = 0;
        }
    }
    session.loopObserver = outer;
    const int code = *session.quitCode;
    session.quitCode.reset();
    return code;
}

void PostQuit(int code) {
    CurrentSession().quitCode = code;
}

}  // namespace platform::ui
