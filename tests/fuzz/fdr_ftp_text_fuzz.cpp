// What an FTP server sends as text: control replies cut at arbitrary receive boundaries,
// multi-line replies, passive-mode replies, and the directory listing.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string_view>

#include "fdr/ftp/passive_reply.h"
#include "fdr/ftp/reply_lines.h"
#include "fdr/listing/fdr_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte chooses where the text is split between two receives.
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t split = data[0] % (text.size() + 1);
    fdr::ReplyLineCutter cutter;
    fdr::ReplyAssembler assembler;
    size_t cutBytes = 0;
    for (std::string_view part : {text.substr(0, split), text.substr(split)}) {
        cutter.add(part);
        while (auto line = cutter.nextLine()) {
            cutBytes += line->size();
            if (line->back() != '\n')
                __builtin_trap();
            const std::optional<int> code = assembler.addLine(*line);
            if (code && (*code < 0 || *code > 999))
                __builtin_trap();
            const auto target = fdr::parsePassiveReply(*line);
            if (target && target->port == 0)
                __builtin_trap();
        }
    }
    // No byte is lost or made up between the lines and what is left.
    if (cutBytes + cutter.pendingText().size() != text.size())
        __builtin_trap();

    fdr::ReportTexts reports{};
    fdr::FileQueue queue;
    std::ostringstream trace;
    const bool inLayout = fdr::parseListing(text, reports, queue, trace);
    if (queue.names.size() > fdr::fileQueueCapacity)
        __builtin_trap();
    // Nothing is fetched by columns that are not the server's.
    if (!inLayout && !queue.names.empty())
        __builtin_trap();
    for (const std::string& report : reports) {
        if (report.find('\0') != std::string::npos)
            __builtin_trap();
    }
    return 0;
}
