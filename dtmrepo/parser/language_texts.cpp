// Language-keyed values: "keyword, language, text". The languages of one target must come in
// table order, en-us first, so that the writers list them as the DTM expects.

#include "dtmrepo/parser/description_parser.h"

namespace dtmrepo {

bool DescriptionParser::storeLanguageText(LanguageTexts& target, const LanguageMessages& messages) {
    if (line_.fields.size() < 2) {
        line_.fields.resize(2);
    }
    std::string& language = line_.fields[1];
    const std::string upper = upperCase(language);
    for (int l = 1; l <= languageCount; ++l) {
        if (upper == upperCase(languageShortForms[l])) {
            language = std::string(languageCodes[l]);
        }
    }
    for (int l = 1; l <= languageCount; ++l) {
        if (upperCase(language) != upperCase(languageCodes[l])) {
            continue;
        }
        target[l] = V2();
        record_.languageUsed[l] = true;
        for (int later = l + 1; later <= languageCount; ++later) {
            if (target[later].empty()) {
                continue;
            }
            const std::string body =
                std::string(messages.wrongOrder) + "  '" + language + "'" + onLine();
            messages.wrongOrderAfterReturn ? errorAfterReturn(body) : error(body);
        }
        return true;
    }
    std::string body = std::string(messages.notSupported) + "  '" + language + "'" + onLine();
    if (messages.notSupportedWithState) {
        body += currentState();
    }
    messages.notSupportedAfterReturn ? errorAfterReturn(body) : error(body);
    return false;
}

}  // namespace dtmrepo
