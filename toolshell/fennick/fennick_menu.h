#pragma once

// Fennick's menu bar. It is built by code when the window is created, with an "X " before the
// Ignore item that matches the setting; the resource script carries the same menu as it reads
// with the setting "0". The mark moves with the setting when one of the items is chosen.

#include <string_view>

#include "platform/ui.h"
#include "toolshell/fennick/fennick_resource.h"

namespace fennick {

// The menu as a table, in resource order, for the Ignore setting given.
platform::ui::MenuSpec fennickMenuSpec(std::string_view ignore);

// Builds that menu through the tool menu table and attaches it to the window.
void fennickBuildMenu(platform::ui::Window window, std::string_view ignore);

// Puts the "X " on the Ignore item that matches the setting, and takes it off the other.
void fennickMarkIgnoreItems(platform::ui::Window window, std::string_view ignore);

}  // namespace fennick
