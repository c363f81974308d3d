// Modal dialogs of the headless backend: built from the registered control tables and run
// from the script until they end.

#include "platform/posix/ui_session.h"
#include "platform/ui_quote.h"

namespace platform::ui {

namespace {

WindowObject* BuildDialog(const DialogSpec& spec, Window owner) {
    WindowObject* dialog = NewWindow();
    dialog->isDialog = true;
    dialog->isTopLevel = true;
    dialog->dialogId = spec.id;
    dialog->parent = owner;
    dialog->text = spec.title;
    for (const auto& control : spec.controls) {
        WindowObject* child = NewWindow();
        child->parent = dialog;
        child->id = control.id;
        child->kind = control.kind;
        // A combo box's text is its field; its resource text is not shown.
        if (control.kind != ControlKind::Combo && control.kind != ControlKind::ComboList) {
            child->text = control.text;
        }
        dialog->children.push_back(child);
    }
    if (spec.menuId != 0) {
        if (const MenuSpec* menu = FindMenuSpec(spec.menuId)) {
            dialog->menuBar = BuildMenu(*menu);
        } else {
            RecordError("no menu " + std::to_string(spec.menuId));
        }
    }
    return dialog;
}

// Activation follows the modal dialogs: the one on top is active. A dialog that is still in its
// Init has not been shown and so is neither activated nor deactivated.
void Activate(WindowObject* dialog, bool active) {
    if (dialog == nullptr || !dialog->shown || dialog->destroyed) {
        return;
    }
    Message activate{MessageKind::Activate};
    activate.code = active ? 1 : 0;
    Deliver(dialog, activate);
}

}  // namespace

WaitResult WaitOnce(WindowObject* waiting, bool* closeTried, const std::function<bool()>& done) {
    DispatchPosted();
    Session& session = CurrentSession();
    for (size_t i = 0; i < session.windows.size() && !done(); ++i) {
        WindowObject* window = session.windows[i].get();
        const auto timers = window->timers;
        for (const auto& entry : timers) {
            if (done() || window->destroyed || window->timers.count(entry.first) == 0) {
                continue;
            }
            Message tick{MessageKind::Timer};
            tick.id = entry.first;
            Deliver(window, tick);
        }
        if (window->needsPaint && !window->destroyed && !done()) {
            Deliver(window, Message{MessageKind::Paint});
            window->needsPaint = false;
        }
    }
    if (done()) {
        return WaitResult::Done;
    }
    if (const ScriptEvent* event = PeekEvent()) {
        ConsumeEvent();
        if (event->IsAnswer() || event->kind == ScriptEventKind::Pump || event->duringPump) {
            RecordError("script line " + std::to_string(event->line) +
                        ": nothing asks for this event now");
        } else {
            PlayEvent(*event, EventTarget(), nullptr);
        }
        return WaitResult::Waiting;
    }
    if (!*closeTried) {
        *closeTried = true;
        CloseBox(waiting);
        return WaitResult::Waiting;
    }
    return done() ? WaitResult::Done : WaitResult::Stuck;
}

int RunDialog(int dialogId, Window owner, Procedure procedure, intptr_t param) {
    Session& session = CurrentSession();
    const DialogSpec* spec = FindDialogSpec(dialogId);
    if (spec == nullptr) {
        RecordError("no dialog " + std::to_string(dialogId));
        return -1;
    }
    WindowObject* dialog = BuildDialog(*spec, owner);
    dialog->procedure = std::move(procedure);
    Record("open " + std::to_string(dialogId) + " " + QuoteText(dialog->text));
    WindowObject* outer = session.modalStack.empty() ? nullptr : session.modalStack.back();
    session.modalStack.push_back(dialog);
    Message init{MessageKind::Init};
    init.lParam = param;
    Deliver(dialog, init);
    // Shown only when Init did not end it; showing takes the activation from the dialog below.
    if (!dialog->ended) {
        Activate(outer, false);
        dialog->shown = true;
        Activate(dialog, true);
    }
    bool closeTried = false;
    bool forced = false;
    while (!dialog->ended) {
        if (WaitOnce(dialog, &closeTried, [dialog] { return dialog->ended; }) ==
            WaitResult::Stuck) {
            forced = true;
            EndDialog(dialog, kIdCancel);
        }
    }
    session.modalStack.pop_back();
    dialog->destroyed = true;
    dialog->timers.clear();
    for (WindowObject* child : dialog->children) {
        child->destroyed = true;
    }
    Record("end " + std::to_string(dialogId) + " " + std::to_string(dialog->result) +
           (forced ? " forced" : ""));
    if (dialog->shown) {
        Activate(outer, true);
    }
    return dialog->result;
}

void EndDialog(Window dialog, int result) {
    if (dialog == nullptr || dialog->ended) {
        return;
    }
    dialog->ended = true;
    dialog->result = result;
}

}  // namespace platform::ui
