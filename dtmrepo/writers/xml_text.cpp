#include "dtmrepo/writers/xml_text.h"

#include "dtmrepo/parser/vocabulary.h"

namespace dtmrepo {

std::string startTag(std::string_view tag, std::initializer_list<XmlAttribute> attributes,
                     bool closed) {
    std::string line = "<" + std::string(tag);
    for (const XmlAttribute& attribute : attributes) {
        line += " ";
        line += attribute.name;
        line += "=\"" + xmlEscaped(attribute.value) + "\"";
    }
    return line + (closed ? "/>" : ">");
}

std::string textElement(std::string_view tag, std::string_view text) {
    const std::string name(tag);
    return "<" + name + ">" + xmlEscaped(text) + "</" + name + ">";
}

void languageLines(std::vector<std::string>& out, const LanguageTexts& texts,
                   std::string_view item) {
    const std::string name(item);
    for (int l = 1; l <= languageCount; ++l) {
        if (!texts[l].empty()) {
            out.push_back(startTag(name, {{"lang", std::string(languageCodes[l])}}) +
                          xmlEscaped(texts[l]) + "</" + name + ">");
        }
    }
}

void labelsElement(std::vector<std::string>& out, std::string_view tag,
                   const LanguageTexts& texts) {
    const std::string name(tag);
    out.push_back("<" + name + ">");
    languageLines(out, texts);
    out.push_back("</" + name + ">");
}

std::string typeTag(std::string_view type) {
    std::string name;
    for (char c : upperCase(type)) {
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_') {
            name += c;
        }
    }
    return name.empty() || (name[0] >= '0' && name[0] <= '9') ? "UNKNOWN" : name;
}

}  // namespace dtmrepo
