#pragma once

// A small dialog program for the UI tests: a control table, a menu, and the resource script
// that describes the same dialogs.

#include <string>
#include <vector>

#include "platform/ui.h"

namespace ui_fixture {

constexpr int kJobDialog = 104;
constexpr int kMainDialog = 102;
constexpr int kMainMenu = 112;

constexpr int kStatusLine = 1032;
constexpr int kProgressBar = 1031;
constexpr int kFileBox = 1004;
constexpr int kTabs = 1012;
constexpr int kAscii = 1015;
constexpr int kBits7 = 1030;
constexpr int kBits8 = 1031;
constexpr int kHost = 1018;
constexpr int kStart = 1053;
constexpr int kInfoList = 1009;
constexpr int kAddress = 1054;

constexpr int kOpenCommand = 40015;
constexpr int kAutoStartCommand = 40010;
constexpr int kExitCommand = 40005;
constexpr int kAnchorCommand = 40016;

std::vector<platform::ui::DialogSpec> Dialogs();
std::vector<platform::ui::MenuSpec> Menus();
void RegisterAll();

// The resource script of the same dialogs and menu, as the Windows build compiles it.
std::string ResourceScriptText();

// Transcript text split into lines.
std::vector<std::string> Lines(const std::string& text);

}  // namespace ui_fixture
