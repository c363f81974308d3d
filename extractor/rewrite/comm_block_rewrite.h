#pragma once

// The communication block rewrite: a SEND_REQ, READ_VAR or WRITE_VAR call addressed to the
// converted module becomes a call of the generated block that replaces it, with the node
// number in place of the ADDR(...) expression and the IP placeholder text that names the
// module; a call with a dynamic address becomes a call of the block's "_DYNAMIC" form. Every
// call of the block on the line is rewritten; nothing but the call's own text changes.

#include <string>
#include <string_view>

#include "extractor/loop/module_context.h"
#include "extractor/project/comm_instances.h"
#include "extractor/project/conversion_counters.h"
#include "extractor/project/line_files.h"

namespace extractor {

// The IP placeholder of a static call's block: "'IBYSENDREQIPd" + r + "_s" + s + "'" and the
// READ_VAR and WRITE_VAR forms.
std::string ipPlaceholder(CommBlock block, const ModuleContext& module);

// Where the call stands and what its instances are numbered by.
struct CommRewriteContext {
    const ModuleContext& module;
    int language = 0;            // 1 structured text, 2 ladder; others are left alone here
    bool dfbArea = false;        // the line belongs to a DFB
    KindCounts& sectionNumbers;  // last instance number per kind in program sections
    KindCounts& dfbNumbers;      // last instance number per kind in the current DFB
    ConversionCounters& counters;
    LineSink results;        // warnings
    std::string_view where;  // the current section or DFB, for the warnings
};

// The line with every call of `block` rewritten.
std::string rewriteCommBlocks(std::string line, CommBlock block, CommRewriteContext& context);

// The four fields of an ADDR('rack.slot.channel.node') text; node "SYS" is 254.
struct CommAddress {
    int rack = 999, slot = 999, channel = 999, node = 999;
};
CommAddress parseCommAddress(std::string_view text);

}  // namespace extractor
