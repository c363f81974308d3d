#include "platform/process.h"

#include "platform/posix/ui_session.h"
#include "platform/ui_quote.h"

namespace platform {

CommandOutcome RunCommand(const std::string& commandLine) {
    ui::Record("run " + ui::QuoteText(commandLine));
    return CommandOutcome{};
}

}  // namespace platform
