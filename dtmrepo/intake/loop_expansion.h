#pragma once

// Loops of a description file: "parLoopStart,first,last" or "varLoopStart,first,last", a body,
// and the end line. The body is written once per index, a "%" and what follows it replaced by
// the index.

#include <optional>
#include <string>
#include <vector>

#include "dtmrepo/intake/description_lines.h"

namespace dtmrepo {

enum class LoopKind { Parameter, Variable };

// Reads the body from `lines` up to the end line and appends the expansion to `target`.
// Returns the message of a fault that ends the install: a header without its two values, a
// loop of more than 501 indexes, a body that is too long or has no end line.
std::optional<std::string> expandLoop(const std::string& header, LoopKind kind,
                                      DescriptionLines& lines, std::vector<std::string>& target);

}  // namespace dtmrepo
