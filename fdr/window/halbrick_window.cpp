#include "fdr/window/halbrick_window.h"

#include <algorithm>

#include "fdr/window/error_box_text.h"
#include "fdr/window/halbrick_controls.h"
#include "fdr/window/halbrick_resource.h"
#include "toolshell/running_job.h"
#include "toolshell/tool_settings.h"

namespace fdr {

namespace ui = platform::ui;
using ui::MessageKind;

namespace {

// The prompts the program puts into the address field; neither is an address.
bool IsPrompt(std::string_view text) {
    return text == addressPrompt || text == targetAddressPrompt;
}

bool IsKey(const ui::Message& message, int key) {
    return message.kind == MessageKind::Char && message.code == key;
}

bool IsTab(const ui::Message& message, bool backward) {
    return IsKey(message, ui::kKeyTab) && message.shift == backward;
}

// Enter, or Space as on every button of Windows.
bool IsPress(const ui::Message& message) {
    return IsKey(message, ui::kKeyEnter) || IsKey(message, ui::kKeySpace);
}

// The smallest client area that keeps the detail button (right edge 650) and the presets in
// view, with a few lines of the report below them.
constexpr int kMinimumClientWidth = 670;
constexpr int kMinimumClientHeight = 160;

std::string SettingsKey() {
    return toolshell::toolSettingsKey(settingsProgramKey);
}

}  // namespace

bool HalbrickWindow::create() {
    ui::WindowSpec window;
    window.className = ui::kDialogClass;
    window.title = halbrickTitle();
    window.x = 100;
    window.y = 100;
    window.width = 700;
    window.height = 600;
    main_ = ui::CreateMainWindow(window);
    if (main_ == nullptr)
        return false;
    std::vector<ui::Window> made;
    for (const ui::ChildSpec& child : halbrickChildren())
        made.push_back(ui::CreateChild(main_, child));
    queryButton_ = made[0];
    addressField_ = made[1];
    presetUsb_ = made[2];
    preset192_ = made[3];
    preset172_ = made[4];
    detailButton_ = made[5];
    reportField_ = made[6];
    ui::SetProgressRange(main_, IDC_PROGRESS, 1, 10);
    ui::SetMinimumClientSize(main_, kMinimumClientWidth, kMinimumClientHeight);
    attachHalbrickMenu(main_);
    // The window was painted while it was made, before the loop could see a message of it; so
    // the field takes the client area left beside the menu bar now, as it does on each later
    // message of the window.
    fitReportField();
    ui::SetFocus(queryButton_);
    resetProgress();
    return true;
}

void HalbrickWindow::restoreAddress() {
    state_.savedAddress.clear();
    toolshell::readRegistryString(SettingsKey(), std::string(addressSetting), state_.savedAddress);
    if (state_.savedAddress.size() < 7 || state_.savedAddress.size() > 15)
        state_.savedAddress = std::string(targetAddressPrompt);
    ui::SetText(addressField_, state_.savedAddress);
}

bool HalbrickWindow::observe(const ui::Message& message) {
    const ui::Window window = message.window;
    if (window == nullptr)
        return false;
    if (window == main_)
        return observeMain(message);
    if (window == queryButton_)
        observeQueryButton(message);
    else if (window == presetUsb_)
        observePreset(message, preset192_, addressField_, "90.0.0.1");
    else if (window == preset192_)
        observePreset(message, preset172_, presetUsb_, "192.168.10.1");
    else if (window == preset172_)
        observePreset(message, detailButton_, preset192_, "172.168.12.1");
    else if (window == detailButton_)
        observeDetailButton(message);
    else if (window == addressField_)
        observeAddressField(message);
    return false;
}

bool HalbrickWindow::observeMain(const ui::Message& message) {
    if (message.kind == MessageKind::Command) {
        // The dialog class turns the close box into the Cancel command.
        if (message.id == ui::kIdCancel || message.id == IDM_EXIT) {
            ui::PostQuit(0);
            return true;
        }
        if (message.id == IDM_ABOUT) {
            showAboutBox();
            return true;
        }
    }
    if (message.kind == MessageKind::MouseDown) {
        promptWhenEmpty(100);
        ui::SetFocus(main_);
        return true;
    }
    // The window has no procedure to follow its size, so the report field follows it here.
    fitReportField();
    return false;
}

void HalbrickWindow::observeQueryButton(const ui::Message& message) {
    if (tabbed(message, addressField_, detailButton_))
        return;
    if (message.kind == MessageKind::MouseDown) {
        promptWhenEmpty(addressFieldLength);
    } else if (IsPress(message) || message.kind == MessageKind::MouseUp) {
        runQuery();
    }
}

bool HalbrickWindow::tabbed(const ui::Message& message, ui::Window next, ui::Window previous) {
    const bool forward = IsTab(message, false);
    if (!forward && !IsTab(message, true))
        return false;
    ui::SetFocus(forward ? next : previous);
    resetProgress();
    return true;
}

void HalbrickWindow::observePreset(const ui::Message& message, ui::Window next, ui::Window previous,
                                   std::string_view address) {
    if (tabbed(message, next, previous))
        return;
    if (IsPress(message) || message.kind == MessageKind::MouseDown) {
        ui::SetText(addressField_, address);
        state_.savedAddress = std::string(address);
    }
}

void HalbrickWindow::observeDetailButton(const ui::Message& message) {
    if (tabbed(message, queryButton_, preset172_))
        return;
    if (IsPress(message) || message.kind == MessageKind::MouseDown) {
        state_.detailLevel = state_.detailLevel % summaryDetail + 1;
        ui::SetText(detailButton_, detailName[state_.detailLevel]);
        ui::SetText(reportField_, state_.reportText[state_.detailLevel]);
    }
}

void HalbrickWindow::observeAddressField(const ui::Message& message) {
    if (tabbed(message, presetUsb_, queryButton_))
        return;
    if (IsKey(message, ui::kKeyEscape)) {
        ui::SetText(addressField_, state_.savedAddress);
        resetProgress();
    } else if (IsKey(message, ui::kKeyEnter)) {
        ui::SetFocus(queryButton_);
        runQuery();
    } else if (message.kind == MessageKind::MouseDown) {
        if (IsPrompt(ui::GetText(addressField_)))
            ui::SetText(addressField_, "");
    }
}

void HalbrickWindow::runQuery() {
    const std::string address = ui::GetText(addressField_).substr(0, addressFieldLength);
    const auto showError = [this, &address](std::string_view failure) {
        // The report still holds the previous query's results; under a box about this
        // address they would read as this server's.
        ui::SetText(reportField_, "");
        ui::PaintNow(reportField_);
        ui::ShowMessageBox(main_, errorBoxText(failure, address, settings_.port), "Error",
                           ui::Buttons::Ok, ui::Icon::Stop);
    };
    // A prompt is no host name to look up.
    if (IsPrompt(address)) {
        showError("Invalid IP Address");
        ui::SetText(reportField_, state_.reportText[state_.detailLevel]);
        return;
    }
    QueryContext context{state_.reportText, trace_, [this](int position) { setProgress(position); },
                         showError, settings_};
    QueryEnd end = QueryEnd::Finished;
    {
        // A slow or silent server keeps the window from answering until the query ends.
        const toolshell::RunningJob job(main_, "Querying " + address + "...");
        end = queryFdrServer(address, context);
    }
    if (end == QueryEnd::EndProgram) {
        ui::PostQuit(1);
        return;
    }
    ui::SetText(reportField_, state_.reportText[state_.detailLevel]);
    state_.savedAddress = address;
    toolshell::writeRegistryString(SettingsKey(), std::string(addressSetting), address);
}

void HalbrickWindow::setProgress(int position) {
    state_.progressPos = position;
    ui::SetProgress(main_, IDC_PROGRESS, position);
}

void HalbrickWindow::promptWhenEmpty(std::size_t readLength) {
    if (ui::GetText(addressField_).substr(0, readLength).empty())
        ui::SetText(addressField_, addressPrompt);
}

void HalbrickWindow::showAboutBox() {
    std::string text = "Halbrick    Rev " + std::string(revisionDate) +
                       "\r\nReads the device-replacement files of an FDR server.";
    text.resize(std::min<std::size_t>(text.size(), 254));  // the box's text buffer
    ui::ShowMessageBox(main_, text, "About", ui::Buttons::Ok, ui::Icon::Information);
}

void HalbrickWindow::fitReportField() {
    const ui::Rect client = ui::GetClientRect(main_);
    ui::MoveWindow(reportField_, 20, 90, std::max(0, client.Width() - 40),
                   std::max(0, client.Height() - 100), true);
}

}  // namespace fdr
