// Parameter groups: ParGroup ... endParGroup blocks, which may nest.

#include "dtmrepo/parser/description_parser.h"

namespace dtmrepo {

void DescriptionParser::openParGroup() {
    ++state_.parGroupDepth;
    if (record_.parGroupCount() >= maxParameterGroups) {
        error("more than " + decimal(maxParameterGroups) + " 'ParGroup' in one file!  '" + V1() +
              "'" + onLine());
        return;
    }
    if (state_.parGroupDepth > maxGroupDepth) {
        error("'ParGroup' nested deeper than " + decimal(maxGroupDepth) + "!  '" + V1() + "'" +
              onLine());
    }
    ParameterGroup group;
    group.name = V1();
    record_.parGroups.push_back(std::move(group));
}

void DescriptionParser::setParGroupAccess() {
    if (record_.parGroups.empty()) {
        error("'ParGAccess' outside a 'ParGroup'!  '" + V1() + "'" + onLine());
        return;
    }
    ParameterGroup& group = record_.parGroups.back();
    if (!group.access.empty()) {
        error("'ParGAccess' already configured!  '" + V1() + "'" + onLine());
    }
    if (auto name = findName(V1(), groupAccessNames)) {
        group.access = std::string(*name);
    } else {
        errorAfterReturn("'varGAccess' not supported!  '" + V1() + "'" + onLine() + currentState());
    }
}

void DescriptionParser::setParGroupLabel() {
    if (record_.parGroups.empty()) {
        error("'ParGLabl' outside a 'ParGroup'!  '" + V1() + "'" + onLine());
        return;
    }
    storeLanguageText(
        record_.parGroups.back().label,
        {"'ParGLabl' language in wrong order!", "'ParGLabl' language not supported!", true, true});
}

void DescriptionParser::closeParGroup() {
    // A bare endParGroup has nothing to say; its value counts as given.
    if (line_.fields.size() < 2) {
        line_.fields.resize(2);
    }
    if (line_.fields[1].empty()) {
        line_.fields[1] = " ";
    }
    const int depth = state_.parGroupDepth;
    if (!record_.parGroups.empty() && depth >= 1 && depth <= maxGroupDepth) {
        record_.parGroups.back().endMarks.set(static_cast<size_t>(depth));
    }
    --state_.parGroupDepth;
    if (state_.parGroupDepth < 0) {
        error("'EndParGroup' too many times!  '" + V1() + "'" + onLine());
    }
}

}  // namespace dtmrepo
