// Brondel's process entry.

#include "dtmrepo/window/brondel_window.h"
#include "platform/ui.h"

int main() {
    return platform::ui::RecordExit(dtmrepo::brondelMain());
}
