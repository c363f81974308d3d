#pragma once

// Lines of the flat profile: one element or one text element per line, attribute values and
// texts escaped so that a parser reads back exactly the values that went in.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "dtmrepo/parser/description_record.h"
#include "dtmrepo/xml_entities.h"

namespace dtmrepo {

struct XmlAttribute {
    std::string_view name;
    std::string value;  // as the record holds it; escaped when written
};

// "<tag a=\"v\" ...>", or ending in "/>" when `closed`.
std::string startTag(std::string_view tag, std::initializer_list<XmlAttribute> attributes,
                     bool closed = false);

// "<tag>" + text + "</tag>".
std::string textElement(std::string_view tag, std::string_view text);

// One "<item lang=\"code\">text</item>" line per language with a text, in table order.
void languageLines(std::vector<std::string>& out, const LanguageTexts& texts,
                   std::string_view item = "label");

// The tag's start line, the language lines, its end line.
void labelsElement(std::vector<std::string>& out, std::string_view tag, const LanguageTexts& texts);

// A type written as an element name ("<WORD/>"): the upper-case letters, digits and
// underscores of `type`, or UNKNOWN when it holds none.
std::string typeTag(std::string_view type);

}  // namespace dtmrepo
