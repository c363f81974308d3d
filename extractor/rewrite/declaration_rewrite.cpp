#include "extractor/rewrite/declaration_rewrite.h"

#include <algorithm>

#include "extractor/project/device_arrays.h"
#include "extractor/project/line_text.h"
#include "extractor/rewrite/topological_references.h"

namespace extractor {

namespace {

constexpr std::string_view topoAttribute = "topologicalAddress";
constexpr std::string_view commentOpen = "<comment>";
constexpr std::string_view commentClose = "</comment>";
constexpr std::string_view initClose = "</variableInit>";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isStandardType(std::string_view type) {
    for (const char* known : {"ANY_BOOL", "BOOL", "BYTE", "DATE", "DINT", "DT", "DWORD", "EBOOL",
                              "REAL", "STRING", "TIME", "TOD", "UDINT"}) {
        if (type == known) {
            return true;
        }
    }
    return false;
}

// The line without its topological address attribute and the blanks before it; every other
// attribute stays, wherever it stands.
std::string withoutAddress(std::string_view line) {
    const std::optional<AttributeSpan> span = attributeSpan(line, topoAttribute);
    if (!span) {
        return std::string(line);
    }
    std::size_t from = line.rfind(topoAttribute, span->at);
    while (from > 0 && (line[from - 1] == ' ' || line[from - 1] == '\t')) {
        --from;
    }
    return std::string(line.substr(0, from)) +
           std::string(line.substr(span->at + span->length + 1));
}

// The line with the value of typeName replaced.
std::string retyped(const std::string& line, std::string_view type) {
    const std::optional<AttributeSpan> span = attributeSpan(line, "typeName");
    if (!span) {
        return line;
    }
    return line.substr(0, span->at) + std::string(type) + line.substr(span->at + span->length);
}

std::string initLine(long value) {
    return "\t\t\t<variableInit value=\"" + decimal(value) + "\"></variableInit>";
}

}  // namespace

void DeclarationPass::line(std::string_view text) {
    if (spread_) {
        spread_->children.emplace_back(text);
        if (holds(text, "</variables>")) {
            writeSpread();
        }
        return;
    }
    const std::string current(text);
    const std::string rs = module_.rackSlot();
    const std::string tail = rs + ".0.";
    bool taken = rewriteVariableDecl(current, "%KW" + rs, tail);
    bool error = false;
    for (std::string_view suffix : errorBitSuffixes) {
        error = error || rewriteVariableDecl(current, "%I" + rs + std::string(suffix),
                                             module_.name("IBY_Manage") + ".Channel.MOD_ERROR");
    }
    inputs_ += error;
    taken = taken || error;
    if (!error && rewriteVariableDecl(current, "%IW" + rs, tail)) {
        ++inputs_;
        taken = true;
    }
    if (rewriteChannelIoddtDecl(current)) {
        ++inputs_;
        taken = true;
    }
    for (const std::string& channel : {"%CH" + rs + ".MOD", "%CH" + rs + ".0"}) {
        if (rewriteVariableDecl(current, channel, tail)) {
            ++channels_;
            taken = true;
        }
    }
    if (rewriteVariableDecl(current, "%QW" + rs, tail)) {
        ++outputs_;
        taken = true;
    }
    if (!taken) {
        out_.project(current);
    }
}

void DeclarationPass::flush() {
    if (spread_) {
        writeSpread();
    }
}

void DeclarationPass::writeSpread() {
    Spread spread = std::move(*spread_);
    spread_.reset();
    std::vector<std::string> children;
    insideOwnInit_ = false;
    for (std::string& child : spread.children) {
        // The configured word is the value; a second initial value would not load.
        if (!spread.dropOwnInit || dropOwnInit(child)) {
            children.push_back(std::move(child));
        }
    }
    if (!spread.comment.empty()) {
        // Into the declaration's own comment, wherever it stands among the lines; else a
        // comment of its own, first.
        bool merged = false;
        for (std::string& child : children) {
            if (const std::size_t close = child.find(commentClose); close != std::string::npos) {
                child.insert(close, " - " + spread.comment);
                merged = true;
                break;
            }
        }
        if (!merged) {
            children.insert(children.begin(), "\t\t\t<comment>" + spread.comment + "</comment>");
        }
    }
    for (const std::string& child : children) {
        out_.project(child);
    }
}

std::optional<long> DeclarationPass::configuredValue(const std::string& pattern,
                                                     const std::string& tail,
                                                     const std::string& address) const {
    if (pattern.rfind("%KW", 0) != 0) {
        return std::nullopt;
    }
    const std::size_t wordAt = 3 + tail.size();
    const long word = wordAt < address.size() && isDigit(address[wordAt])
                          ? leadingNumber(std::string_view(address).substr(wordAt))
                          : -1;
    const bool bare = wordAt < address.size() && address.find('.', wordAt) == std::string::npos;
    if (!bare || word < 0 || word > 2) {
        return std::nullopt;
    }
    const long values[] = {module_.kw0, module_.kw1, module_.kw2};
    return values[word];
}

bool DeclarationPass::dropOwnInit(std::string& line) {
    if (insideOwnInit_) {
        const std::size_t end = line.find(initClose);
        if (end == std::string::npos) {
            return false;
        }
        insideOwnInit_ = false;
        line.erase(0, end + initClose.size());
        return line.find_first_not_of(" \t") != std::string::npos;
    }
    const std::size_t own = line.find("<variableInit");
    if (own == std::string::npos) {
        return true;
    }
    const std::size_t end = line.find(initClose, own);
    if (end == std::string::npos) {
        insideOwnInit_ = true;
        line.erase(own);
    } else {
        line.erase(own, end + initClose.size() - own);
    }
    return line.find_first_not_of(" \t") != std::string::npos;
}

void DeclarationPass::warnOutOfRange(std::string_view assignment, const std::string& name,
                                     const std::string& address) {
    for (const std::string& element : elementsOutOfRange(assignment, module_.name("IBY_DIO"))) {
        out_.results("  WARNING!!!!  Variable '" + name + "' at " + address + " becomes " +
                     element + ", which the module's data does not have.");
    }
}

bool DeclarationPass::rewriteVariableDecl(std::string_view line, const std::string& pattern,
                                          const std::string& tail) {
    if (!attributeSpan(line, topoAttribute)) {
        return false;
    }
    const std::string address(namedAttribute(line, topoAttribute));
    // The address itself must be the pattern's: %IW0.1 is not the start of %IW0.10.0.5.
    if (upperCase(address).rfind(pattern, 0) != 0 ||
        (address.size() > pattern.size() && isDigit(address[pattern.size()]))) {
        return false;
    }
    const std::string name(namedAttribute(line, "name"));
    const std::string type(namedAttribute(line, "typeName"));
    const std::string declaration = withoutAddress(line);
    if (type == "T_GEN_MOD" || type == "T_COM_IBS_128" || type == "T_COM_IBS_242") {
        const bool channel = type == "T_GEN_MOD";
        (channel ? channelList_ : moduleList_).push_back(name);
        out_.project(retyped(declaration, channel ? "IBY_channel" : "IBY_Module"));
        return true;
    }
    writeAssignment(line, pattern, tail, address, name, type);
    writeUnlocated(line, address, holds(pattern, ".ERR"), configuredValue(pattern, tail, address));
    return true;
}

bool DeclarationPass::rewriteChannelIoddtDecl(std::string_view line) {
    if (!attributeSpan(line, topoAttribute)) {
        return false;
    }
    const std::string address(namedAttribute(line, topoAttribute));
    const std::string prefix = "%MW" + module_.rackSlot();
    const std::string upper = upperCase(address);
    if (upper.rfind(prefix, 0) != 0) {
        return false;
    }
    const std::string suffix = upper.substr(prefix.size());
    const std::optional<std::string_view> member = channelIoddtMember(suffix);
    if (!member) {
        return false;  // no rule: left where it is, and named among the references left
    }
    const std::string name(namedAttribute(line, "name"));
    const std::string type(namedAttribute(line, "typeName"));
    const std::string source = module_.name("IBY_Manage") + std::string(*member);
    // ".MOD.w" is a status word (INT), ".MOD.w.b" one of its bits.
    const bool bit = std::count(suffix.begin(), suffix.end(), '.') > 2;
    if (bit) {
        out_.inputs(name + " := " + source + ";" +
                    (type == "BOOL" ? "" : "    (*  WARNING:  NOT a BOOL *)"));
    } else {
        const WordConversion conversion = wordConversion(type, name, address, true);
        out_.inputs(name + conversion.member + " := " + conversion.prefix + source +
                    conversion.suffix + ";" + conversion.note);
    }
    writeUnlocated(line, address, false, std::nullopt);
    return true;
}

void DeclarationPass::writeUnlocated(std::string_view line, const std::string& address,
                                     bool errorBit, std::optional<long> init) {
    std::string declaration = withoutAddress(line);
    const std::string comment = address + " (Interbus-S)";
    const std::size_t ownComment = declaration.find("</comment>");
    std::size_t closing = declaration.find("</variables>");
    std::size_t tagEnd = declaration.find('>');
    if (closing == std::string::npos && tagEnd != std::string::npos && tagEnd > 0 &&
        declaration[tagEnd - 1] == '/') {
        // "<variables .../>" is a declaration of one line too.
        declaration.replace(--tagEnd, 2, "></variables>");
        closing = declaration.find("</variables>");
    }
    if (closing == std::string::npos) {
        // Spread over several lines: read to its end, then the address goes into its comment
        // and the configured value replaces any initial value the lines hold.
        Spread spread;
        if (ownComment != std::string::npos) {
            out_.project(declaration.substr(0, ownComment) + " - " + comment +
                         declaration.substr(ownComment));
        } else {
            out_.project(declaration);
            if (errorBit) {
                out_.project("");
            } else {
                spread.comment = comment;
            }
        }
        if (init) {
            out_.project(initLine(*init));
            spread.dropOwnInit = true;
        }
        spread_ = std::move(spread);
        return;
    }
    out_.project(declaration.substr(0, tagEnd) + ">");
    // What the declaration holds besides a comment (attributes, an initial value) stays, after
    // the comment line.
    std::string inner = declaration.substr(tagEnd + 1, closing - tagEnd - 1);
    std::string ownText;
    if (const std::size_t shut = inner.find(commentClose); shut != std::string::npos) {
        const std::size_t open = inner.rfind(commentOpen, shut);
        const std::size_t start = open == std::string::npos ? 0 : open;
        const std::size_t from = open == std::string::npos ? 0 : open + commentOpen.size();
        ownText = inner.substr(from, shut - from);
        inner.erase(start, shut + commentClose.size() - start);
    }
    if (init) {
        out_.project(initLine(*init));
        // The configured word is the value; a second initial value would not load.
        const std::size_t own = inner.find("<variableInit");
        const std::size_t ownEnd = own == std::string::npos ? own : inner.find(initClose, own);
        if (ownEnd != std::string::npos) {
            inner.erase(own, ownEnd + initClose.size() - own);
        }
    }
    if (errorBit) {
        // The error bit's declaration carries no address comment; its own comment stays.
        out_.project(ownText.empty() ? std::string() : "\t\t\t<comment>" + ownText + "</comment>");
    } else if (ownComment != std::string::npos && ownComment < closing) {
        out_.project("\t\t\t<comment>" + ownText + " - " + comment + "</comment>");
    } else {
        out_.project("\t\t\t<comment>" + comment + "</comment>");
    }
    out_.project("\t\t" + inner + declaration.substr(closing));
}

DeclarationPass::WordConversion DeclarationPass::wordConversion(const std::string& type,
                                                                const std::string& name,
                                                                const std::string& address,
                                                                bool input) {
    WordConversion conversion;
    std::string converted = type;  // the type the conversion functions name
    if (type == "WORD" || type == "UINT") {
        conversion.note = "    (*  WARNING:  NOT an INT *)";
    } else if (isStandardType(type)) {
        conversion.note = "    (*  ERROR:  " + type +
                          " is not an INT, UINT, or WORD type.  Conversion not possible! *)";
        converted = "INT";
    } else if (type != "INT") {
        const DerivedType* derived = types_.find(type);
        const std::string& first = derived != nullptr ? derived->firstMemberType : type;
        if (derived != nullptr && (first == "WORD" || first == "INT" || first == "UINT")) {
            conversion.member = "." + derived->firstMemberName;
            converted = first;
            if (derived->members > 1) {
                out_.results("  WARNING!!!!  Variable '" + name + "' of type '" + type + "' has " +
                             decimal(derived->members) + " members; only its first member '" +
                             derived->firstMemberName + "' is connected to " + address + ".");
            }
        } else {
            conversion.note =
                "    (*  ERROR:  " + type +
                " is not a standard INT, UINT, or WORD type.  Conversion not possible! *)";
            converted = "INT";
        }
    }
    if (converted == "WORD" || converted == "UINT") {
        conversion.prefix = input ? "INT_TO_" + converted + "(" : converted + "_TO_INT(";
        // Appended, not assigned: GCC 12 takes the assignment of a literal here for an
        // overlapping copy (-Wrestrict) in the 32-bit build.
        conversion.suffix.push_back(')');
    }
    return conversion;
}

void DeclarationPass::writeAssignment(std::string_view line, const std::string& pattern,
                                      const std::string& tail, const std::string& address,
                                      const std::string& name, const std::string& type) {
    (void)line;
    const DeclarationOutputs out{out_.project,
                                 [&](std::string_view assignment) {
                                     warnOutOfRange(assignment, name, address);
                                     out_.inputs(assignment);
                                 },
                                 [&](std::string_view assignment) {
                                     warnOutOfRange(assignment, name, address);
                                     out_.outputs(assignment);
                                 },
                                 out_.results};
    const char kind = pattern.size() > 1 ? pattern[1] : ' ';
    if (kind != 'I' && kind != 'Q') {
        return;
    }
    const bool input = kind == 'I';
    const bool errorBit = holds(pattern, ".ERR");
    const std::string device = module_.name("IBY_DIO");
    const std::string errorMember = module_.name("IBY_Manage") + ".Channel.MOD_ERROR";
    const long n = module_.wordCount;
    const std::size_t at = 3 + tail.size();
    const std::size_t dot = at < address.size() ? address.find('.', at) : std::string::npos;
    const std::string_view text(address);
    if (dot != std::string::npos && !errorBit) {
        const long word = leadingNumber(text.substr(at, dot - at));
        const long bit = leadingNumber(text.substr(dot + 1));
        const std::string note = type == "BOOL" ? "" : "    (*  WARNING:  NOT a BOOL *)";
        const std::string place =
            word < n
                ? (input ? ".Inputs.IW[" : ".Outputs.QW[") + decimal(word)
                : (input ? ".Inputs.IBS_Status[" : ".Outputs.IBS_Command[") + decimal(word - n);
        if (input) {
            out.inputs(name + " := " + device + place + "]." + decimal(bit) + ";" + note);
        } else {
            out.outputs(device + place + "]." + decimal(bit) + " := " + name + ";" + note);
        }
        return;
    }
    const long word = at < address.size() ? leadingNumber(text.substr(at)) : 0;
    const WordConversion conversion = wordConversion(type, name, address, input);
    const std::string& prefix = conversion.prefix;
    const std::string& suffix = conversion.suffix;
    const std::string& note = conversion.note;
    const std::string& member = conversion.member;
    if (input && errorBit) {
        out.inputs(name + " := " + prefix + errorMember + suffix + ";");
    } else if (input) {
        const std::string place = word < n ? ".Inputs.IW[" + decimal(word) + "]"
                                           : ".Inputs.IBS_Status[" + decimal(word - n) + "]";
        out.inputs(name + (word < n ? member : "") + " := " + prefix + device + place + suffix +
                   ";" + note);
    } else {
        const std::string place = word < n ? ".Outputs.QW[" + decimal(word) + "]"
                                           : ".Outputs.IBS_Command[" + decimal(word - n) + "]";
        out.outputs(device + place + " := " + prefix + name + (word < n ? member : "") + suffix +
                    ";" + note);
    }
}

}  // namespace extractor
