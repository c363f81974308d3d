#pragma once

// The pins of a communication block drawn in a block diagram or a ladder rung, and where each
// goes on the generated block that replaces it. The map is the one the structured-text rewrite
// follows for the call's arguments, which stand in pin order:
//   SEND_REQ(ADR, CODE, EMIS, GEST, RECP)      IBY_SEND_REQ(Target, IBSIP, Request_Code, SendData,
//                                                            GEST, RECP)
//   READ_VAR(ADR, OBJ, NUM, NB, GEST, RECP)     IBY_READ_VAR(Target, IBSIP, Index, SubIndex, GEST,
//                                                            RECP)
//   WRITE_VAR(ADR, OBJ, NUM, NB, EMIS, GEST)    IBY_WRITE_VAR(Target, IBSIP, Index, SubIndex, EMIS,
//                                                             GEST)
// ADR's ADDR(...) becomes the node number on Target, and OBJ's 'PMS' the IP placeholder on IBSIP
// (SEND_REQ has no OBJ: its IBSIP pin is added).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extractor/project/comm_instances.h"

namespace extractor {

// The element that carries a pin: "inputVariable", "inOutVariable" or "outputVariable".
enum class PinElement { Input, InOut, Output };
std::string_view pinElementName(PinElement element);

struct PinPlace {
    std::string_view pin;  // the generated block's pin
    PinElement element;
};

// Where a pin of the library block goes; none for a pin the generated block has no place for.
// EN and ENO are not asked: they stay as they are on any block.
std::optional<PinPlace> generatedPinFor(CommBlock block, std::string_view libraryPin);

// The generated block's pin for the IP placeholder.
inline constexpr std::string_view ipPinName = "IBSIP";

// One pin element on a line of the block.
struct PinOnLine {
    std::size_t start = 0;  // the "<" of the element
    PinElement element = PinElement::Input;
    std::string formal;                 // formalParameter
    std::optional<std::string> actual;  // effectiveParameter as written; none: wired by a link
    std::size_t tagEnd = 0;             // just after the start tag's ">"
};

// Every pin element that starts on the line, in order.
std::vector<PinOnLine> pinsOnLine(std::string_view line);

// An attribute value with the apostrophes XML may have escaped made plain.
std::string plainAttributeText(std::string_view value);

}  // namespace extractor
