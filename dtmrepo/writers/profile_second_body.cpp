// The second body: the description's own function type with its variables, their parameters,
// the parameter groups and the conditional behaviours, and the end of the document.

#include "dtmrepo/writers/profile_sections.h"
#include "dtmrepo/writers/profile_writer.h"
#include "dtmrepo/writers/xml_text.h"

namespace dtmrepo {

namespace {

bool isEnumConfiguration(int section, const VariableEntry& v) {
    return section == 0 && v.varType == "ENUM";
}

void writeDeviceFunction(ProfileLines& out) {
    out.insert(
        out.end(),
        {"<DeviceFunction>", "<capabilities>", "<characteristicsList>", "<category>",
         "<label lang=\"en-us\">Communication characteristics</label>", "</category>",
         "<characteristic>", "<characteristicName>", "<label lang=\"en-us\">Communication</label>",
         "</characteristicName>", "<characteristicContent>", "<label lang=\"en-us\">PIP</label>",
         "<description lang=\"en-us\">Partner Interface protocol</description>",
         "</characteristicContent>", "</characteristic>", "</characteristicsList>",
         "</capabilities>", "</DeviceFunction>"});
}

void writeEnumTypes(const DescriptionRecord& r, ProfileLines& out) {
    if (r.enumValueTotal <= 0) {
        return;
    }
    out.push_back("<dataTypeList>");
    for (const VariableEntry& v : r.sections[0]) {
        if (!isEnumConfiguration(0, v)) {
            continue;
        }
        out.push_back(startTag(
            "enum", {{"name", "DT_" + v.varName}, {"uniqueID", "DT_" + v.varName + "_ID"}}));
        languageLines(out, v.varLabel);
        for (const EnumValue& value : v.enumValues) {
            out.push_back(startTag("enumValue", {{"value", value.value}}));
            languageLines(out, value.label);
            out.push_back("</enumValue>");
        }
        out.push_back("<" + typeTag(v.enumType) + "/>");
        out.push_back("</enum>");
    }
    out.push_back("</dataTypeList>");
}

void writeDeclaration(int section, size_t index, const VariableEntry& v, ProfileLines& out) {
    if (v.varType == "STRING") {
        out.push_back(startTag("varDeclaration", {{"name", "V_" + v.varName},
                                                  {"uniqueID", "V_" + v.varName + "_ID"},
                                                  {"size", v.varLength}}));
    } else {
        out.push_back(startTag("varDeclaration", {{"name", "V_" + v.varName},
                                                  {"uniqueID", "V_" + v.varName + "_ID"}}));
    }
    if (v.isArray()) {
        out.push_back(
            startTag("dataTypeIDRef",
                     {{"uniqueIDRef", "DT_ArrayType_" + v.varType + "_" + std::to_string(section) +
                                          "_" + std::to_string(index + 1) + "_ID"}},
                     true));
    } else if (isEnumConfiguration(section, v)) {
        out.push_back(
            startTag("dataTypeIDRef", {{"uniqueIDRef", "DT_" + v.varName + "_ID"}}, true));
    } else {
        out.push_back("<" + typeTag(v.varType) + "/>");
    }
    out.push_back("</varDeclaration>");
}

void writeDeclarations(const DescriptionRecord& r, std::initializer_list<int> sections,
                       ProfileLines& out) {
    for (int s : sections) {
        for (size_t i = 0; i < r.sections[s].size(); ++i) {
            writeDeclaration(s, i, r.sections[s][i], out);
        }
    }
}

void writeFunction(const DescriptionRecord& r, ProfileLines& out) {
    out.push_back("<functionTypeList>");
    out.push_back(startTag("functionType", {{"name", "FT_" + r.typeIdRef + "_PTR"},
                                            {"uniqueID", "FT_" + r.typeIdRef + "_PTR_ID"}}));
    out.push_back(startTag("versionInfo",
                           {{"organization", r.vendorName},
                            {"author", r.authorName},
                            {"date", r.fileModificationDate},
                            {"version", r.profileRevision}},
                           true));
    out.push_back("<interfaceList>");
    // The lists are named from the controller's side: its inputs are the output assemblies.
    if (r.entryCount(1) > 0) {
        out.push_back("<inputVars>");
        writeDeclarations(r, {2, 4, 6, 8}, out);
        out.push_back("</inputVars>");
    }
    if (r.entryCount(2) > 0) {
        out.push_back("<outputVars>");
        writeDeclarations(r, {1, 3, 5, 7}, out);
        out.push_back("</outputVars>");
    }
    out.push_back("<configVars>");
    writeDeclarations(r, {0}, out);
    out.push_back("</configVars>");
    out.insert(out.end(), {"</interfaceList>", "</functionType>", "</functionTypeList>",
                           "<functionInstanceList>"});
    out.push_back(startTag("functionInstance",
                           {{"name", "F_" + r.typeIdRef + "_PT"},
                            {"uniqueID", "F_" + r.typeIdRef + "_PT_ID"},
                            {"typeIDRef", "FT_" + r.typeIdRef + "_PTR_ID"}},
                           true));
    out.push_back("</functionInstanceList>");
}

void writeGivenProperty(std::string_view name, const GivenText& value, ProfileLines& out) {
    if (value.given) {
        out.push_back(
            startTag("property", {{"name", std::string(name)}, {"value", value.text}}, true));
    }
}

void writeParameter(const DescriptionRecord& r, const VariableEntry& v, ProfileLines& out) {
    out.push_back(startTag(
        "parameter",
        {{"uniqueID", parameterId(v)}, {"access", v.varAccess}, {"persistent", v.varPersistent}}));
    languageLines(out, v.varLabel);
    languageLines(out, v.varDesc, "description");
    out.push_back("<variableRef>");
    out.push_back(
        startTag("instanceIDRef", {{"uniqueIDRef", "F_" + r.typeIdRef + "_PT_ID"}}, true));
    out.push_back(startTag("variableIDRef", {{"uniqueIDRef", "V_" + v.varName + "_ID"}}, true));
    out.push_back("</variableRef>");
    out.push_back(startTag("property", {{"name", "Address"}, {"value", v.varAddress}}, true));
    writeGivenProperty("lowLimit", v.varLoLimit, out);
    writeGivenProperty("highLimit", v.varHiLimit, out);
    writeGivenProperty("unit", v.varUnit, out);
    writeGivenProperty("defaultValue", v.varDefault, out);
    for (int l = 1; l <= languageCount; ++l) {
        if (!v.varWarning[l].empty()) {
            out.push_back(startTag("confirmationMessage",
                                   {{"type", "Warning"}, {"lang", std::string(languageCodes[l])}}) +
                          xmlEscaped(v.varWarning[l]) + "</confirmationMessage>");
        }
    }
    if (v.accessLink != AccessLink::None) {
        const std::string role = v.accessLink == AccessLink::In ? ".in.value" : ".out.access";
        out.push_back(startTag("property", {{"name", "ConditionalBehavior"},
                                            {"value", "DTM_" + linkedInputName(r, v) + role}}) +
                      "</property>");
    }
    out.push_back("</parameter>");
}

void writeGroups(const DescriptionRecord& r, ProfileLines& out) {
    if (r.parGroupCount() < 1) {
        return;
    }
    out.push_back("<parameterGroupList>");
    for (int g = 1; g <= r.parGroupCount(); ++g) {
        const ParameterGroup& group = r.parGroups[static_cast<size_t>(g - 1)];
        out.push_back(startTag("parameterGroup", {{"uniqueID", "G_" + group.name + "_ID"},
                                                  {"kindOfAccess", group.access}}));
        languageLines(out, group.label);
        for (int s = 0; s <= 2; ++s) {
            for (const VariableEntry& v : r.sections[s]) {
                if (v.varGroup == g) {
                    out.push_back(
                        startTag("parameterRef", {{"uniqueIDRef", parameterId(v)}}, true));
                }
            }
        }
        // Every endParGroup booked against this group closes one group element here, so
        // nested groups close inner first.
        for (size_t d = 1; d <= static_cast<size_t>(maxGroupDepth); ++d) {
            if (group.endMarks.test(d)) {
                out.push_back("</parameterGroup>");
            }
        }
    }
    out.push_back("</parameterGroupList>");
}

void writeBehaviours(const DescriptionRecord& r, ProfileLines& out) {
    if (r.accessInNames.empty()) {
        return;
    }
    const std::string source = behaviourSourceName(r);
    out.push_back("<conditionalBehaviorList>");
    for (size_t m = 0; m < r.accessInNames.size(); ++m) {
        out.push_back(startTag("conditionalBehavior",
                               {{"uniqueID", "CB_GAC_" + std::to_string(m + 1)}, {"URI", source}}));
        out.push_back(startTag("Behavior", {{"method", "DTM_" + r.accessInNames[m]}}));
        // Each method takes every input and output of the file, as its source declares them.
        for (const VariableEntry& v : r.sections[0]) {
            if (v.accessLink == AccessLink::In) {
                out.push_back(startTag("parameterRef",
                                       {{"uniqueIDRef", parameterId(v)}, {"type", "in"}}, true));
            } else if (v.accessLink == AccessLink::Out) {
                out.push_back(startTag("parameterRef",
                                       {{"uniqueIDRef", parameterId(v)}, {"type", "out"}}, true));
            }
        }
        out.push_back("</Behavior>");
        out.push_back("</conditionalBehavior>");
    }
    out.push_back("</conditionalBehaviorList>");
}

}  // namespace

void writeSecondBody(const DescriptionRecord& r, ProfileLines& out) {
    out.push_back(startTag("ProfileBody", {{"fileCreationDate", r.fileCreationDate},
                                           {"fileName", r.profileFileName},
                                           {"fileVersion", r.fileVersion},
                                           {"fileCreator", r.fileCreator},
                                           {"deviceClass", r.fileDeviceClass},
                                           {"supportedLanguages", "en-us"},
                                           {"fileModificationDate", r.fileModificationDate},
                                           {"fileModifiedBy", r.fileModifiedBy},
                                           {"name", r.fileModName}}));
    writeDeviceFunction(out);
    out.push_back("<ApplicationProcess>");
    writeEnumTypes(r, out);
    writeFunction(r, out);
    out.push_back("<parameterList>");
    for (int s = 0; s < sectionCount; ++s) {
        for (const VariableEntry& v : r.sections[s]) {
            writeParameter(r, v, out);
        }
    }
    out.push_back("</parameterList>");
    writeGroups(r, out);
    writeBehaviours(r, out);
    out.insert(out.end(), {"</ApplicationProcess>", "</ProfileBody>", "</ProfilesBody>",
                           "</ISO15745Profile>"});
}

}  // namespace dtmrepo
