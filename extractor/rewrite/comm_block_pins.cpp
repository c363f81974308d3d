#include "extractor/rewrite/comm_block_pins.h"

#include "extractor/project/line_text.h"

namespace extractor {

namespace {

struct PinMap {
    CommBlock block;
    std::string_view libraryPin;
    PinPlace place;
};

constexpr PinMap pinMaps[] = {
    {CommBlock::SendReq, "ADR", {"Target", PinElement::Input}},
    {CommBlock::SendReq, "CODE", {"Request_Code", PinElement::Input}},
    {CommBlock::SendReq, "EMIS", {"SendData", PinElement::Input}},
    {CommBlock::SendReq, "GEST", {"GEST", PinElement::InOut}},
    {CommBlock::SendReq, "RECP", {"RECP", PinElement::InOut}},
    {CommBlock::ReadVar, "ADR", {"Target", PinElement::Input}},
    {CommBlock::ReadVar, "OBJ", {"IBSIP", PinElement::Input}},
    {CommBlock::ReadVar, "NUM", {"Index", PinElement::Input}},
    {CommBlock::ReadVar, "NB", {"SubIndex", PinElement::Input}},
    {CommBlock::ReadVar, "GEST", {"GEST", PinElement::InOut}},
    {CommBlock::ReadVar, "RECP", {"RECP", PinElement::Output}},
    {CommBlock::WriteVar, "ADR", {"Target", PinElement::Input}},
    {CommBlock::WriteVar, "OBJ", {"IBSIP", PinElement::Input}},
    {CommBlock::WriteVar, "NUM", {"Index", PinElement::Input}},
    {CommBlock::WriteVar, "NB", {"SubIndex", PinElement::Input}},
    {CommBlock::WriteVar, "EMIS", {"EMIS", PinElement::Input}},
    {CommBlock::WriteVar, "GEST", {"GEST", PinElement::InOut}},
};

constexpr std::pair<PinElement, std::string_view> elementTags[] = {
    {PinElement::Input, "<inputVariable"},
    {PinElement::InOut, "<inOutVariable"},
    {PinElement::Output, "<outputVariable"},
};

}  // namespace

std::string_view pinElementName(PinElement element) {
    for (const auto& [kind, tag] : elementTags) {
        if (kind == element) {
            return tag.substr(1);
        }
    }
    return {};
}

std::optional<PinPlace> generatedPinFor(CommBlock block, std::string_view libraryPin) {
    const std::string upper = upperCase(libraryPin);
    for (const PinMap& map : pinMaps) {
        if (map.block == block && map.libraryPin == upper) {
            return map.place;
        }
    }
    return std::nullopt;
}

std::vector<PinOnLine> pinsOnLine(std::string_view line) {
    std::vector<PinOnLine> pins;
    for (std::size_t at = line.find('<'); at != std::string_view::npos;
         at = line.find('<', at + 1)) {
        for (const auto& [kind, tag] : elementTags) {
            if (line.compare(at, tag.size(), tag) != 0 || at + tag.size() >= line.size() ||
                (line[at + tag.size()] != ' ' && line[at + tag.size()] != '\t' &&
                 line[at + tag.size()] != '>' && line[at + tag.size()] != '/')) {
                continue;
            }
            const std::size_t close = line.find('>', at);
            const std::string_view start =
                line.substr(at, close == std::string_view::npos ? line.size() - at : close - at);
            PinOnLine pin;
            pin.start = at;
            pin.element = kind;
            pin.formal = std::string(namedAttribute(start, "formalParameter"));
            if (attributeSpan(start, "effectiveParameter")) {
                pin.actual = std::string(namedAttribute(start, "effectiveParameter"));
            }
            pin.tagEnd = close == std::string_view::npos ? line.size() : close + 1;
            pins.push_back(std::move(pin));
        }
    }
    return pins;
}

std::string plainAttributeText(std::string_view value) {
    constexpr std::string_view apostrophe = "&apos;";
    std::string text;
    for (std::size_t i = 0; i < value.size();) {
        if (value.compare(i, apostrophe.size(), apostrophe) == 0) {
            text.push_back('\'');
            i += apostrophe.size();
        } else {
            text.push_back(value[i++]);
        }
    }
    return text;
}

}  // namespace extractor
