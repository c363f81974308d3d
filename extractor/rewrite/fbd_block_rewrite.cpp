#include "extractor/rewrite/fbd_block_rewrite.h"

#include "extractor/project/comm_calls.h"
#include "extractor/project/line_text.h"
#include "extractor/rewrite/comm_block_pins.h"

namespace extractor {

namespace {

struct BlockPin {
    std::size_t line = 0;  // index in the block's lines
    PinOnLine pin;
};

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

bool isEnablePin(std::string_view formal) {
    const std::string upper = upperCase(formal);
    return upper == "EN" || upper == "ENO";
}

// The placeholder in the quoting the pin's value used: XML may write the apostrophes escaped.
std::string quotedAs(std::string_view written, const std::string& placeholder) {
    if (written.find("&apos;") == std::string_view::npos) {
        return placeholder;
    }
    std::string text;
    for (char c : placeholder) {
        text += c == '\'' ? std::string("&apos;") : std::string(1, c);
    }
    return text;
}

// The attribute's value replaced in the text, when the text has the attribute.
void setAttribute(std::string& text, std::string_view name, std::string_view value) {
    if (const auto span = attributeSpan(text, name)) {
        text.replace(span->at, span->length, value);
    }
}

// A pin element's start tag with its element, pin and value made those of the generated block,
// and the element's end tag on the same line renamed with it.
struct PinChange {
    PinElement element;
    std::string_view formal;
    std::string actual;
};

std::string changedPinLine(const std::string& line, const PinOnLine& pin, const PinChange& change) {
    std::string tag = line.substr(pin.start, pin.tagEnd - pin.start);
    setAttribute(tag, "formalParameter", change.formal);
    setAttribute(tag, "effectiveParameter", change.actual);
    const std::string_view oldName = pinElementName(pin.element);
    const std::string_view newName = pinElementName(change.element);
    tag.replace(1, oldName.size(), newName);
    std::string rest = line.substr(pin.tagEnd);
    const std::string oldEnd = "</" + std::string(oldName) + ">";
    if (const std::size_t end = rest.find(oldEnd); end != std::string::npos) {
        rest.replace(end, oldEnd.size(), "</" + std::string(newName) + ">");
    }
    return line.substr(0, pin.start) + tag + rest;
}

// True when the element's end can be renamed with it: on the same line, or no end tag at all.
bool endOnItsLine(const std::string& line, const PinOnLine& pin) {
    if (pin.tagEnd >= 2 && line[pin.tagEnd - 2] == '/') {
        return true;
    }
    return line.find("</" + std::string(pinElementName(pin.element)) + ">", pin.tagEnd) !=
           std::string::npos;
}

}  // namespace

bool FbdBlockRewrite::start(std::string_view line) {
    if (holds(line, "</FFBBlock>")) {
        return false;
    }
    const auto typed = findTypedCommBlock(line);
    if (!typed) {
        return false;
    }
    active_ = true;
    block_ = typed->block;
    lines_.assign(1, std::string(line));
    return true;
}

bool FbdBlockRewrite::feed(std::string_view line, CommRewriteContext& context,
                           std::vector<std::string>& finished) {
    lines_.emplace_back(line);
    const bool closed = holds(line, "</FFBBlock>");
    // A block never reaches past the end of its diagram, whatever its lines lack.
    if (!closed && !holds(line, "</FBDSource") && !holds(line, "</LDSource")) {
        return false;
    }
    if (closed) {
        convert(context);
    }
    // Every line but the last is written here; the last goes back to the loop.
    finished.assign(lines_.begin(), lines_.end() - 1);
    lastLine_ = std::move(lines_.back());
    lines_.clear();
    active_ = false;
    return true;
}

std::vector<std::string> FbdBlockRewrite::flush() {
    active_ = false;
    return std::move(lines_);
}

void FbdBlockRewrite::warn(CommRewriteContext& context, const std::string& why) const {
    if (context.results) {
        context.results("  WARNING!!!!  " + std::string(commBlockName(block_)) +
                        " function block " + why + " in     Section = '" +
                        std::string(context.where) + "'    Instance = '" +
                        std::string(namedAttribute(lines_.front(), "instanceName")) + "'.");
    }
}

void FbdBlockRewrite::convert(CommRewriteContext& context) {
    std::vector<BlockPin> pins;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        for (PinOnLine& pin : pinsOnLine(lines_[i])) {
            pins.push_back(BlockPin{i, std::move(pin)});
        }
    }
    const BlockPin* adr = nullptr;
    for (const BlockPin& pin : pins) {
        if (upperCase(pin.pin.formal) == "ADR") {
            adr = &pin;
            break;
        }
    }
    if (adr == nullptr) {
        return;  // nothing tells where the block talks to
    }
    const std::string address = adr->pin.actual ? plainAttributeText(*adr->pin.actual) : "";
    const std::size_t addr = upperCase(address).find("ADDR");
    if (addr == std::string::npos) {
        warn(context, "found with no direct ADDR entry");
        return;
    }
    const std::size_t quote = address.find('\'', addr);
    const std::size_t quoteEnd = quote == std::string::npos ? quote : address.find('\'', quote + 1);
    if (quoteEnd == std::string::npos) {
        return;
    }
    const CommAddress target =
        parseCommAddress(std::string_view(address).substr(quote + 1, quoteEnd - quote - 1));
    if (target.rack != context.module.rack || target.slot != context.module.slot ||
        target.channel != 0) {
        return;  // another module's block stays as it is
    }

    const std::string generated = "IBY_" + std::string(commBlockName(block_));
    const std::string placeholder = ipPlaceholder(block_, context.module);
    std::vector<PinChange> changes;
    bool objectPin = false;
    std::string problem;
    for (const BlockPin& pin : pins) {
        if (isEnablePin(pin.pin.formal)) {
            changes.push_back(
                PinChange{pin.pin.element, pin.pin.formal, pin.pin.actual.value_or(std::string())});
            continue;
        }
        const std::optional<PinPlace> place = generatedPinFor(block_, pin.pin.formal);
        if (!place) {
            problem = "pin " + pin.pin.formal + " has no place on " + generated;
            break;
        }
        if (!pin.pin.actual) {
            problem = "pin " + pin.pin.formal + " is wired by a link";
            break;
        }
        if (!endOnItsLine(lines_[pin.line], pin.pin)) {
            problem = "pin " + pin.pin.formal + " is written over several lines";
            break;
        }
        std::string actual = *pin.pin.actual;
        if (&pin == adr) {
            actual = decimal(target.node);
        } else if (place->pin == ipPinName) {
            objectPin = true;
            if (upperCase(trimmed(plainAttributeText(actual))) != "'PMS'") {
                problem = "pin OBJ names " + plainAttributeText(actual) + ", not 'PMS'";
                break;
            }
            actual = quotedAs(actual, placeholder);
        }
        changes.push_back(PinChange{place->element, place->pin, actual});
    }
    if (problem.empty() && block_ != CommBlock::SendReq && !objectPin &&
        !holds(upperCase(lines_.front()), "'PMS'")) {
        problem = "has no OBJ pin naming 'PMS'";
    }
    if (!problem.empty()) {
        warn(context, "addressed to the module with " + problem +
                          " (the block is left as it is and must be replaced by hand)");
        return;
    }

    // The generated instance, numbered as the census declared it; counted with the main
    // sections, as every drawn block is.
    const InstanceKind kind = instanceKindOf(block_, false);
    KindCounts& numbers = context.dfbArea ? context.dfbNumbers : context.sectionNumbers;
    const int number = ++numbers[kindIndex(kind)];
    ++context.counters.inSections[kindIndex(kind)];
    std::string& first = lines_.front();
    setAttribute(first, "instanceName", generated + "_" + decimal(number));
    setAttribute(first, "typeName", generated);

    // Pins from the last to the first, so the places of those before stay as they were read.
    for (std::size_t k = pins.size(); k-- > 0;) {
        std::string& line = lines_[pins[k].line];
        line = changedPinLine(line, pins[k].pin, changes[k]);
    }
    if (!objectPin) {
        // The IP placeholder's pin, after the address, written as the address pin is.
        const std::string& adrLine = lines_[adr->line];
        const std::size_t indent = adrLine.find_first_not_of(" \t");
        std::string tag = "<" + std::string(pinElementName(PinElement::Input));
        tag += " formalParameter=\"" + std::string(ipPinName) + "\" effectiveParameter=\"" +
               quotedAs(adr->pin.actual.value_or(std::string()), placeholder) + "\">";
        tag += "</" + std::string(pinElementName(PinElement::Input)) + ">";
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(adr->line) + 1,
                      adrLine.substr(0, indent == std::string::npos ? 0 : indent) + tag);
    }
}

}  // namespace extractor
