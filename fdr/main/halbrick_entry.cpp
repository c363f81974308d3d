// Halbrick's process entry.

#include "fdr/window/halbrick_main.h"
#include "platform/ui.h"

int main() {
    return platform::ui::RecordExit(fdr::halbrickMain());
}
