#include "dtmrepo/parser/vocabulary.h"

namespace dtmrepo {

const DataType* findDataType(std::string_view upperName) {
    for (const DataType& type : dataTypes) {
        if (type.name == upperName) {
            return &type;
        }
    }
    return nullptr;
}

}  // namespace dtmrepo
