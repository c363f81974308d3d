#include "fdr/window/halbrick_main.h"

#include <iostream>

#include "fdr/window/halbrick_window.h"
#include "platform/tcp_socket.h"
#include "platform/ui.h"

namespace fdr {

namespace {

// The network library stays started for the whole run; the process end releases it.
bool startWinsock() {
    if (platform::NetworkStartup())
        return true;
    std::cout << "Error: WSAStartup failed" << std::endl;
    return false;
}

}  // namespace

int halbrickMain(const HalbrickOptions& options) {
    platform::ui::InitCommonControlClasses();
    HalbrickState state;
    if (!startWinsock())
        return 1;
    std::ostream& trace = options.trace != nullptr ? *options.trace : std::cout;
    HalbrickWindow window(state, trace, options.settings);
    if (!window.create())
        return 0;
    window.restoreAddress();
    return platform::ui::RunMessageLoop(
        [&window](platform::ui::Window, const platform::ui::Message& message) {
            return window.observe(message);
        });
}

}  // namespace fdr
