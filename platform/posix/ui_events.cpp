// Script events played on the headless model as a user would cause them, and the messages a
// program sends itself.

#include <algorithm>

#include "platform/posix/ui_session.h"
#include "platform/ui_quote.h"

namespace platform::ui {

namespace {

void Refuse(const ScriptEvent& event, const std::string& why) {
    RecordError("script line " + std::to_string(event.line) + ": " + why);
}

Message CommandMessage(int id, int code) {
    Message message{MessageKind::Command};
    message.id = id;
    message.code = code;
    return message;
}

// Automatic radio buttons clear the others of their group: the run of radio buttons around
// the chosen one, in the order of the control table.
void CheckRadio(WindowObject* dialog, WindowObject* chosen) {
    auto& children = dialog->children;
    auto at = std::find(children.begin(), children.end(), chosen);
    auto first = at;
    while (first != children.begin() && (*(first - 1))->kind == ControlKind::Radio) {
        --first;
    }
    for (auto it = first; it != children.end() && (*it)->kind == ControlKind::Radio; ++it) {
        (*it)->checked = *it == chosen;
    }
}

bool IsOneOf(ControlKind kind, std::initializer_list<ControlKind> kinds) {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// The control that an event names, when the user could reach it.
WindowObject* UsableControl(const ScriptEvent& event, WindowObject* target,
                            std::initializer_list<ControlKind> kinds) {
    WindowObject* control = FindChild(target, event.id);
    if (control == nullptr) {
        Refuse(event, "no control " + std::to_string(event.id));
        return nullptr;
    }
    if (kinds.size() != 0 && !IsOneOf(control->kind, kinds)) {
        Refuse(event, "control " + std::to_string(event.id) + " cannot take this event");
        return nullptr;
    }
    if (!control->visible || !control->enabled) {
        Refuse(event, "control " + std::to_string(event.id) + " is hidden or disabled");
        return nullptr;
    }
    return control;
}

void PlayCommand(const ScriptEvent& event, WindowObject* target) {
    if (WindowObject* control = FindChild(target, event.id)) {
        if (UsableControl(event, target, {}) == nullptr) {
            return;
        }
        if (control->kind == ControlKind::Check) {
            control->checked = !control->checked;
        } else if (control->kind == ControlKind::Radio) {
            CheckRadio(target, control);
        }
    }
    // Ids without a control are accelerators and keys (Enter is OK, Esc is Cancel).
    Deliver(target, CommandMessage(event.id, kClicked));
}

void PlayMenu(const ScriptEvent& event, WindowObject* target) {
    MenuObject::Item* item =
        target->menuBar != nullptr ? FindMenuItem(target->menuBar, event.id) : nullptr;
    // A placeholder is never shown, so no one can choose it.
    if (item == nullptr || item->popup != nullptr || IsPlaceholder(*item)) {
        Refuse(event, "no menu item " + std::to_string(event.id));
        return;
    }
    if ((item->flags & kMenuGrayed) != 0 || InGrayedPopup(target->menuBar, event.id)) {
        Refuse(event, "menu item " + std::to_string(event.id) + " is grayed");
        return;
    }
    Deliver(target, Message{MessageKind::InitMenu});
    if (!target->destroyed) {
        Deliver(target, CommandMessage(event.id, kClicked));
    }
}

void PlaySystemCommand(const ScriptEvent& event, WindowObject* target) {
    if (target->systemMenu == nullptr || FindMenuItem(target->systemMenu, event.id) == nullptr) {
        Refuse(event, "no system menu item " + std::to_string(event.id));
        return;
    }
    Message message{MessageKind::SystemCommand};
    message.id = event.id;
    Deliver(target, message);
}

void PlayText(const ScriptEvent& event, WindowObject* target) {
    WindowObject* control = UsableControl(event, target, {ControlKind::Edit, ControlKind::Combo});
    if (control == nullptr) {
        return;
    }
    control->text = event.text;
    if (control->kind == ControlKind::Combo) {
        control->selected = -1;
        Deliver(target, CommandMessage(event.id, kComboEditChanged));
    } else {
        Deliver(target, CommandMessage(event.id, kEditChanged));
    }
}

void PlaySelect(const ScriptEvent& event, WindowObject* target) {
    WindowObject* control = UsableControl(
        event, target,
        {ControlKind::Combo, ControlKind::ComboList, ControlKind::ListBox, ControlKind::TreeView});
    if (control == nullptr) {
        return;
    }
    if (control->kind == ControlKind::TreeView) {
        if (event.value < 0 || event.value >= static_cast<int>(control->treeItems.size()) ||
            control->treeItems[event.value]->deleted) {
            Refuse(event, "no tree item " + std::to_string(event.value));
            return;
        }
        control->treeSelected = control->treeItems[event.value].get();
        return;
    }
    if (event.value < 0 || event.value >= static_cast<int>(control->items.size())) {
        Refuse(event, "no item " + std::to_string(event.value));
        return;
    }
    control->selected = event.value;
    if (control->kind != ControlKind::ListBox) {
        control->text = control->items[event.value].first;
    }
    Deliver(target, CommandMessage(event.id, kSelectionChanged));
}

void PlayCheck(const ScriptEvent& event, WindowObject* target) {
    WindowObject* control = UsableControl(event, target, {ControlKind::Check, ControlKind::Radio});
    if (control == nullptr) {
        return;
    }
    if (control->kind == ControlKind::Radio) {
        if (event.value == 0) {
            Refuse(event, "a radio button is cleared by choosing another");
            return;
        }
        CheckRadio(target, control);
    } else {
        control->checked = event.value != 0;
    }
    Deliver(target, CommandMessage(event.id, kClicked));
}

void PlayTab(const ScriptEvent& event, WindowObject* target) {
    WindowObject* control = UsableControl(event, target, {ControlKind::Tab});
    if (control == nullptr) {
        return;
    }
    if (event.value < 0 || event.value >= static_cast<int>(control->items.size())) {
        Refuse(event, "no tab " + std::to_string(event.value));
        return;
    }
    control->selected = event.value;
    Message message{MessageKind::TabChanged};
    message.id = event.id;
    Deliver(target, message);
}

void PlayIp(const ScriptEvent& event, WindowObject* target) {
    if (WindowObject* control = UsableControl(event, target, {ControlKind::IpAddress})) {
        control->ip = event.ip;
    }
}

void PlayInput(const ScriptEvent& event, WindowObject* target) {
    WindowObject* window = event.id == 0 ? target : FindChild(target, event.id);
    if (window == nullptr) {
        Refuse(event, "no control " + std::to_string(event.id));
        return;
    }
    Message message{event.kind == ScriptEventKind::Key ? MessageKind::Char
                                                       : MessageKind::MouseDown};
    message.window = window;
    message.id = event.id;
    message.code = event.value;
    message.shift = event.shift;
    Deliver(window, message);
    if (event.kind == ScriptEventKind::Click && !window->destroyed) {
        message.kind = MessageKind::MouseUp;
        Deliver(window, message);
    }
}

void PlaySize(const ScriptEvent& event, WindowObject* target) {
    // Dragging the frame stops at the window's minimum size.
    const int width = std::max(event.value, target->minWidth);
    const int height = std::max(event.value2, target->minHeight);
    target->rect = Rect{0, 0, width, height};
    Message message{MessageKind::Size};
    message.width = width;
    message.height = height;
    Deliver(target, message);
    target->needsPaint = true;
}

}  // namespace

void PlayEvent(const ScriptEvent& event, WindowObject* target, bool* deviceRemoved) {
    if (target == nullptr) {
        Refuse(event, "no window is open");
        return;
    }
    switch (event.kind) {
        case ScriptEventKind::Command:
            PlayCommand(event, target);
            break;
        case ScriptEventKind::Menu:
            PlayMenu(event, target);
            break;
        case ScriptEventKind::SystemCommand:
            PlaySystemCommand(event, target);
            break;
        case ScriptEventKind::Text:
            PlayText(event, target);
            break;
        case ScriptEventKind::Select:
            PlaySelect(event, target);
            break;
        case ScriptEventKind::Check:
            PlayCheck(event, target);
            break;
        case ScriptEventKind::Tab:
            PlayTab(event, target);
            break;
        case ScriptEventKind::Ip:
            PlayIp(event, target);
            break;
        case ScriptEventKind::Key:
        case ScriptEventKind::Click:
            PlayInput(event, target);
            break;
        case ScriptEventKind::Size:
            PlaySize(event, target);
            break;
        case ScriptEventKind::Activate: {
            Message message{MessageKind::Activate};
            message.code = event.value;
            Deliver(target, message);
            break;
        }
        case ScriptEventKind::Device: {
            // Device notifications go to every top-level window.
            Message message{MessageKind::DeviceChange};
            message.code = kDeviceRemoveComplete;
            Session& session = CurrentSession();
            for (size_t i = 0; i < session.windows.size(); ++i) {
                WindowObject* window = session.windows[i].get();
                if (window->isTopLevel && !window->destroyed) {
                    Deliver(window, message);
                }
            }
            if (deviceRemoved != nullptr) {
                *deviceRemoved = true;
            }
            break;
        }
        case ScriptEventKind::Close:
            CloseBox(target);
            break;
        case ScriptEventKind::Pump:
        case ScriptEventKind::Answer:
        case ScriptEventKind::File:
        case ScriptEventKind::Print:
            break;
    }
}

PumpResult PumpMessages() {
    PumpResult result;
    DispatchPosted();
    // Only "pump" lines happen here; other events wait until a dialog waits for the user.
    const ScriptEvent* event = PeekEvent();
    if (event != nullptr && (event->kind == ScriptEventKind::Pump || event->duringPump)) {
        ConsumeEvent();
        if (event->kind != ScriptEventKind::Pump) {
            PlayEvent(*event, EventTarget(), &result.deviceRemoved);
        }
        DispatchPosted();
    }
    result.quit = CurrentSession().quitCode.has_value();
    return result;
}

bool SendUserMessage(Window window, unsigned message, uintptr_t wParam, intptr_t lParam) {
    Message user{MessageKind::User};
    user.message = message;
    user.wParam = wParam;
    user.lParam = lParam;
    return Deliver(window, user);
}

void PostUserMessage(Window window, unsigned message, uintptr_t wParam, intptr_t lParam) {
    Message user{MessageKind::User};
    user.message = message;
    user.wParam = wParam;
    user.lParam = lParam;
    CurrentSession().posted.push_back({window, user});
}

void SendCommand(Window window, int id) {
    Deliver(window, CommandMessage(id, kClicked));
}

void SetTimer(Window window, int id, unsigned milliseconds) {
    if (window != nullptr) {
        window->timers[id] = milliseconds;
    }
}

void KillTimer(Window window, int id) {
    if (window != nullptr) {
        window->timers.erase(id);
    }
}

}  // namespace platform::ui
