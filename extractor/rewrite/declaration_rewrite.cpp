#include "extractor/rewrite/declaration_rewrite.h"

#include "extractor/project/device_arrays.h"
#include "extractor/project/line_text.h"

namespace extractor {

namespace {

constexpr std::string_view topoAttribute = " topologicalAddress=";
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

// The line without its topological address attribute; every other attribute stays.
std::string withoutAddress(std::string_view line) {
    const std::size_t at = line.find(topoAttribute);
    if (at == std::string_view::npos) {
        return std::string(line);
    }
    const std::size_t open = line.find('"', at + topoAttribute.size());
    const std::size_t close = open == std::string_view::npos ? open : line.find('"', open + 1);
    if (close == std::string_view::npos) {
        return std::string(line.substr(0, at));
    }
    return std::string(line.substr(0, at)) + std::string(line.substr(close + 1));
}

// The line with the value of typeName= replaced.
std::string retyped(const std::string& line, std::string_view type) {
    const std::size_t at = line.find("typeName=");
    const std::size_t open = at == std::string::npos ? at : line.find('"', at);
    const std::size_t close = open == std::string::npos ? open : line.find('"', open + 1);
    if (close == std::string::npos) {
        return line;
    }
    return line.substr(0, open + 1) + std::string(type) + line.substr(close);
}

std::string initLine(long value) {
    return "\t\t\t<variableInit value=\"" + decimal(value) + "\"></variableInit>";
}

}  // namespace

void DeclarationPass::line(std::string_view text) {
    std::string current(text);
    if (!pendingComment_.empty()) {
        const std::size_t close = current.find("</comment>");
        if (close != std::string::npos) {
            // What follows the comment on its line (the declaration's closing tag, say) stays.
            current.insert(close, " - " + pendingComment_);
            pendingComment_.clear();
        } else if (!holds(current, commentOpen)) {
            out_.project("\t\t\t<comment>" + pendingComment_ + "</comment>");
            pendingComment_.clear();
        }
        // A comment over several lines gets the address where it closes.
    }
    if (replacingInit_) {
        if (holds(current, "</variables>")) {
            replacingInit_ = false;
        }
        if (!dropOwnInit(current)) {
            return;
        }
    }
    const std::string rs = module_.rackSlot();
    const std::string tail = rs + ".0.";
    bool taken = rewriteVariableDecl(current, "%KW" + rs, tail);
    const bool error = rewriteVariableDecl(current, "%I" + rs + ".MOD.ERR",
                                           module_.name("IBY_Manage") + ".Channel.MOD_ERROR");
    inputs_ += error;
    taken = taken || error;
    if (!error && rewriteVariableDecl(current, "%IW" + rs, tail)) {
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
    if (!holds(line, topoAttribute)) {
        return false;
    }
    const std::string address(attributeValue(line, topoAttribute));
    // The address itself must be the pattern's: %IW0.1 is not the start of %IW0.10.0.5.
    if (upperCase(address).rfind(pattern, 0) != 0 ||
        (address.size() > pattern.size() && isDigit(address[pattern.size()]))) {
        return false;
    }
    const std::string name(attributeValue(line, "<variables name="));
    const std::string type(attributeValue(line, "typeName="));
    const std::string declaration = withoutAddress(line);
    if (type == "T_GEN_MOD" || type == "T_COM_IBS_128" || type == "T_COM_IBS_242") {
        const bool channel = type == "T_GEN_MOD";
        (channel ? channelList_ : moduleList_).push_back(name);
        out_.project(retyped(declaration, channel ? "IBY_channel" : "IBY_Module"));
        return true;
    }
    writeAssignment(line, pattern, tail, address, name, type);

    const bool errorBit = holds(pattern, ".MOD.ERR");
    const std::string comment = address + " (Interbus-S)";
    const std::size_t ownComment = declaration.find("</comment>");
    const std::size_t closing = declaration.find("</variables>");
    const std::optional<long> init = configuredValue(pattern, tail, address);
    if (closing == std::string::npos) {
        // Spread over several lines: the next line gets the comment, and the configured value
        // replaces any initial value the lines hold.
        if (ownComment != std::string::npos) {
            out_.project(declaration.substr(0, ownComment) + " - " + comment +
                         declaration.substr(ownComment));
        } else {
            out_.project(declaration);
            if (errorBit) {
                out_.project("");
            } else {
                pendingComment_ = comment;
            }
        }
        if (init) {
            out_.project(initLine(*init));
            replacingInit_ = true;
        }
        return true;
    }
    const std::size_t tagEnd = declaration.find('>');
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
    return true;
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
    const bool errorBit = holds(pattern, ".MOD.ERR");
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
    std::string prefix, suffix, note, member;
    std::string converted = type;  // the type the conversion functions name
    if (type == "WORD" || type == "UINT") {
        note = "    (*  WARNING:  NOT an INT *)";
    } else if (isStandardType(type)) {
        note = "    (*  ERROR:  " + type +
               " is not an INT, UINT, or WORD type.  Conversion not possible! *)";
        converted = "INT";
    } else if (type != "INT") {
        const DerivedType* derived = types_.find(type);
        const std::string& first = derived != nullptr ? derived->firstMemberType : type;
        if (derived != nullptr && (first == "WORD" || first == "INT" || first == "UINT")) {
            member = "." + derived->firstMemberName;
            converted = first;
            if (derived->members > 1) {
                out_.results("  WARNING!!!!  Variable '" + name + "' of type '" + type + "' has " +
                             decimal(derived->members) + " members; only its first member '" +
                             derived->firstMemberName + "' is connected to " + address + ".");
            }
        } else {
            note = "    (*  ERROR:  " + type +
                   " is not a standard INT, UINT, or WORD type.  Conversion not possible! *)";
            converted = "INT";
        }
    }
    if (converted == "WORD" || converted == "UINT") {
        prefix = input ? "INT_TO_" + converted + "(" : converted + "_TO_INT(";
        // Appended, not assigned: GCC 12 takes the assignment of a literal here for an
        // overlapping copy (-Wrestrict) in the 32-bit build.
        suffix.push_back(')');
    }
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
