#pragma once

// Service files changed the ways a file changes on its way to the user: one line written twice
// or lost, and the harmless variations that editors, mail and other tools bring in.

#include <cstddef>
#include <string>
#include <vector>

#include "svc_builder.h"

namespace svc::testing {

struct TextVariant {
    std::string name;
    std::string text;
    std::size_t records = 0;  // harmlessVariants: the records it holds
};

// The lines of `lines` that hold `text`.
std::size_t countContaining(const std::vector<std::string>& lines, const std::string& text);

// The lines of a text of CR LF lines, and the text of lines again.
std::vector<std::string> crlfSplit(const std::string& text);
std::string crlfJoin(const std::vector<std::string>& lines);

// `text` (CR LF lines, as svcText writes it) with one line holding "#" written twice, for each
// such line in turn.
std::vector<TextVariant> eachWordLineDuplicated(const std::string& text);

// `text` with one line left out, for each line in turn.
std::vector<TextVariant> eachLineDeleted(const std::string& text);

// svcText(records) changed in ways that leave every record as it is: blanks, a tab or a stray
// CR after the words, lower-case digits, no line end after the last line, no empty lines
// between the records, a UTF-8 byte-order mark before the first "#CMD#", notes before the first
// record, text or blanks on the lines between records, and a record of a service nobody knows
// whose words make up its count.
std::vector<TextVariant> harmlessVariants(const std::vector<Record>& records);

}  // namespace svc::testing
