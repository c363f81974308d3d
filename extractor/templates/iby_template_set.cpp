// The IBY template set: its element order and stamps, and the IBY names on the shared text.

#include "extractor/iby_template_set.h"

#include <array>
#include <optional>

#include "extractor/templates/iby_blocks.h"

namespace extractor {
namespace {

using BlockBuilder = svc::TemplateFunctionBlock (*)(const svc::TemplateVariant& variant,
                                                    const IbyModuleAddresses& modules);

template <svc::TemplateFunctionBlock (*build)(const svc::TemplateVariant&)>
svc::TemplateFunctionBlock withoutModules(const svc::TemplateVariant& variant,
                                          const IbyModuleAddresses&) {
    return build(variant);
}

struct IbyElement {
    std::string_view name;
    std::string_view version;
    std::string_view dateTime;
    std::string_view codeCheckSum;
    std::string_view signatureCheckSum;
    std::optional<svc::SharedTemplate> shared;  // none: a block of this set's own
    BlockBuilder build;
};

using svc::SharedTemplate;

// The order in which the set is written, each element with its own version and date.
constexpr std::array<IbyElement, 20> kElements = {{
    {"T_IBY_DIO_OUT", "1.00", "dt#2018-12-21-15:49:35", "0000", "0000",
     SharedTemplate::deviceOutput, nullptr},
    {"T_IBY_DIO", "1.00", "dt#2018-12-21-15:49:35", "0000", "0000", SharedTemplate::device,
     nullptr},
    {"T_IBY_DIO_IN", "1.00", "dt#2018-12-21-15:49:35", "0000", "0000", SharedTemplate::deviceInput,
     nullptr},
    {"IBY_Map_Entry", "0.01", "dt#2018-11-29-19:32:36", "0000", "0000", SharedTemplate::mapEntry,
     nullptr},
    {"IBY_Config_Node", "0.02", "dt#2018-10-30-10:16:21", "0000", "0000",
     SharedTemplate::configNode, nullptr},
    {"IBY_Channel", "0.02", "dt#2019-03-13-23:19:41", "0000", "0000", SharedTemplate::channel,
     nullptr},
    {"IBY_Module", "0.05", "dt#2019-03-13-23:57:35", "0000", "0000", SharedTemplate::module,
     nullptr},
    {"IBY_Manage", "0.05", "dt#2019-03-25-12:16:35", "0000", "0000", SharedTemplate::manage,
     nullptr},
    {"IBY_Layout_CRC", "0.41", "dt#2019-03-28-13:01:26", "10A8", "8163", SharedTemplate::layoutCrc,
     nullptr},
    {"IBY_Module_PMEDWL", "0.02", "dt#2019-08-15-15:54:08", "0000", "0000", std::nullopt,
     withoutModules<ibyModulePmedwlBlock>},
    {"IBY_Channel_PMEDWL", "0.02", "dt#2019-08-15-15:54:07", "0000", "0000", std::nullopt,
     withoutModules<ibyChannelPmedwlBlock>},
    {"IBY_SEND_REQ_DYNAMIC", "1.04", "dt#2021-09-07-21:27:25", "0000", "0000", std::nullopt,
     ibySendReqDynamicBlock},
    {"IBY_SEND_REQ", "1.03", "dt#2021-09-07-10:00:09", "0000", "0000", std::nullopt,
     withoutModules<ibySendReqBlock>},
    {"IBY_READ_VAR", "1.03", "dt#2021-09-07-11:31:40", "0000", "0000", std::nullopt,
     withoutModules<ibyReadVarBlock>},
    {"IBY_READ_VAR_DYNAMIC", "1.03", "dt#2021-09-07-11:31:40", "0000", "0000", std::nullopt,
     ibyReadVarDynamicBlock},
    {"IBY_WRITE_VAR", "1.04", "dt#2021-09-07-11:31:40", "0000", "0000", std::nullopt,
     withoutModules<ibyWriteVarBlock>},
    {"IBY_WRITE_VAR_DYNAMIC", "1.04", "dt#2021-09-07-11:31:40", "0000", "0000", std::nullopt,
     ibyWriteVarDynamicBlock},
    {"IBY_Layout_Xfer", "0.22", "dt#2018-03-28-11:31:40", "0000", "0000",
     SharedTemplate::layoutXfer, nullptr},
    {"IBY_IODDT_OUT", "0.22", "dt#2018-03-28-11:31:40", "0000", "0000", std::nullopt,
     withoutModules<ibyIoddtOutBlock>},
    {"IBY_IODDT_IN", "0.22", "dt#2018-03-28-11:31:40", "0000", "0000", std::nullopt,
     withoutModules<ibyIoddtInBlock>},
}};

svc::TemplateStamp stampOf(std::string_view name) {
    for (const IbyElement& element : kElements) {
        if (element.name == name) {
            return {std::string(element.version), std::string(element.dateTime),
                    std::string(element.codeCheckSum), std::string(element.signatureCheckSum)};
        }
    }
    return {};
}

}  // namespace

svc::TemplateVariant ibyTemplateVariant() {
    svc::TemplateVariant variant;
    variant.prefix = "IBY_";
    variant.deviceType = "T_IBY_DIO";
    variant.pinName = "DIOiby";
    variant.stamp = stampOf;
    variant.deviceAreasLocked = false;
    variant.freshnessAccessRights = false;
    variant.windowModeEcho = true;
    variant.windowModeComment = ".0=Config; .1=Map; .2=PCP";
    variant.configNameType = "STRING[10]";
    variant.transferInputParameters = true;
    variant.transferConfigDoneOnAgreement = false;
    variant.transferMapModeResetAtLimit = false;
    return variant;
}

void writeIbyTemplateSet(const LineSink& writeLine, const IbyModuleAddresses& modules) {
    writeIbyTemplateSet(writeLine, modules, [](std::string_view) { return true; });
}

void writeIbyTemplateSet(const LineSink& writeLine, const IbyModuleAddresses& modules,
                         const std::function<bool(std::string_view name)>& wanted) {
    const svc::TemplateVariant variant = ibyTemplateVariant();
    for (const IbyElement& element : kElements) {
        if (!wanted(element.name)) {
            continue;
        }
        if (element.shared) {
            svc::printSharedTemplate(writeLine, *element.shared, variant);
        } else {
            svc::printTemplateFunctionBlock(writeLine, element.build(variant, modules));
        }
    }
}

void writeIbyTemplateSet(const LineSink& writeLine) {
    writeIbyTemplateSet(writeLine, {});
}

std::vector<std::string_view> ibyTemplateNames() {
    std::vector<std::string_view> names;
    for (const IbyElement& element : kElements) {
        names.push_back(element.name);
    }
    return names;
}

}  // namespace extractor
