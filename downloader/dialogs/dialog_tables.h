#pragma once

// vexim's dialogs and menu as control tables. The resource script compiles the same dialogs
// for Windows; the headless backend builds its dialogs from these tables.

#include <vector>

#include "platform/ui.h"

std::vector<platform::ui::DialogSpec> VeximDialogSpecs();
std::vector<platform::ui::MenuSpec> VeximMenuSpecs();

// Makes every dialog and the menu known to the UI layer; called once at start.
void RegisterVeximResources();
