// Fennick's process entry: a command line converts that archive without a window.

#include "platform/ui.h"
#include "toolshell/fennick/fennick_main.h"

int main(int argc, char** argv) {
    return platform::ui::RecordExit(fennick::fennickMain(argc, argv));
}
