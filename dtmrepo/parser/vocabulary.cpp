#include "dtmrepo/parser/vocabulary.h"

namespace dtmrepo {

std::string upperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

const DataType* findDataType(std::string_view upperName) {
    for (const DataType& type : dataTypes) {
        if (type.name == upperName) {
            return &type;
        }
    }
    return nullptr;
}

}  // namespace dtmrepo
