// The status copy blocks: they hand the module and channel images kept in the management record
// to the IODDT variables of a replaced READ_STS block, and the module's commands back.

#include <algorithm>

#include "extractor/templates/iby_blocks.h"

namespace extractor {

std::vector<std::string> memberRun(const svc::TemplateDataType& type, std::string_view first,
                                   std::string_view last) {
    std::vector<std::string> names;
    bool inRun = false;
    for (const svc::TemplateMember& member : type.members) {
        inRun = inRun || member.name == first;
        if (inRun) {
            names.push_back(member.name);
        }
        if (inRun && member.name == last) {
            break;
        }
    }
    return names;
}

namespace {

// A copy block between the management record and an IODDT variable of the status type `image`
// ("Module" or "Channel"), which is also the pin's name.
svc::TemplateFunctionBlock copyBlock(const svc::TemplateVariant& variant, const char* image,
                                     const char* section, std::string text) {
    svc::TemplateFunctionBlock block =
        svc::stampedBlock(variant, variant.name(std::string(image) + "_PMEDWL"));
    block.inOutParameters = {svc::templatePin(image, variant.name(image), 1),
                             svc::templatePin("Manage", variant.name("Manage"), 2)};
    block.programName = section;
    block.programText = std::move(text);
    return block;
}

}  // namespace

svc::TemplateFunctionBlock ibyModulePmedwlBlock(const svc::TemplateVariant& variant) {
    const svc::TemplateDataType module = svc::templateModuleType(variant);
    std::string text;
    // The status members up to the PMS fault word go to the IODDT; the commands come back. The
    // raw status and command words stay in the management record.
    for (const std::string& member : memberRun(module, "CH_ERROR", "MSG_FLT")) {
        text += "Module." + member + " := Manage.Module." + member + ";\n";
    }
    for (const std::string& member : memberRun(module, "AUTO_START", "ELMT_NBR")) {
        text += "Manage.Module." + member + " := Module." + member + ";\n";
    }
    return copyBlock(variant, "Module", "MoveIt", std::move(text));
}

svc::TemplateFunctionBlock ibyChannelPmedwlBlock(const svc::TemplateVariant& variant) {
    // The exchange and status-read members describe the Premium module's own exchanges, which
    // have no counterpart on the PMEDWL module.
    constexpr std::string_view kNotCopied[] = {"EXCH_STS", "STS_IN_PROGR", "EXCH_RPT", "STS_ERR",
                                               "MOD_FLT"};
    std::string text = "\n";
    for (const svc::TemplateMember& member : svc::templateChannelType(variant).members) {
        if (std::find(std::begin(kNotCopied), std::end(kNotCopied), member.name) ==
            std::end(kNotCopied)) {
            text += "Channel." + member.name + " := Manage.Channel." + member.name + ";\n";
        }
    }
    return copyBlock(variant, "Channel", "Mapit", std::move(text));
}

}  // namespace extractor
