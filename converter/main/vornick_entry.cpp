// Vornick's process entry: the command line is not used; the program runs its window.

#include <iostream>

#include "converter/window/vornick_window.h"
#include "platform/ui.h"

int main() {
    return platform::ui::RecordExit(vornick::vornickMain(std::cout));
}
