// The IBS template set as the structured-text file and the load file print it: one stamp for
// every element and the device named by the caller.

#include "svc/ibs_templates.h"

#include <initializer_list>

namespace svc {

TemplateVariant ibsTemplateVariant(const IbsTemplateNames& names) {
    TemplateVariant variant;
    variant.prefix = "IBS_";
    variant.deviceType = "T_" + names.deviceWord;
    variant.pinName = names.pinName;
    variant.stamp = [](std::string_view) {
        return TemplateStamp{ibsTemplateVersion, ibsTemplateDateTime};
    };
    return variant;
}

IbsDataType ibsManageType() {
    return templateManageType(ibsTemplateVariant({}));
}
IbsDataType ibsConfigNodeType() {
    return templateConfigNodeType(ibsTemplateVariant({}));
}
IbsDataType ibsMapEntryType() {
    return templateMapEntryType(ibsTemplateVariant({}));
}
IbsDataType ibsChannelType() {
    return templateChannelType(ibsTemplateVariant({}));
}
IbsDataType ibsModuleType() {
    return templateModuleType(ibsTemplateVariant({}));
}

IbsDataType ibsDeviceType(const IbsTemplateNames& names) {
    return templateDeviceType(ibsTemplateVariant(names));
}

IbsDataType ibsDeviceInputType(const IbsTemplateNames& names) {
    return templateDeviceInputType(ibsTemplateVariant(names));
}

IbsDataType ibsDeviceOutputType(const IbsTemplateNames& names) {
    return templateDeviceOutputType(ibsTemplateVariant(names));
}

void printIbsDataType(std::ostream& out, const IbsDataType& type) {
    printTemplateDataType(streamLineSink(out), type);
}

void printIbsLayoutCrc(std::ostream& out) {
    printTemplateFunctionBlock(streamLineSink(out), templateLayoutCrc(ibsTemplateVariant({})));
}

void printIbsLayoutXfer(std::ostream& out, const IbsTemplateNames& names) {
    printTemplateFunctionBlock(streamLineSink(out), templateLayoutXfer(ibsTemplateVariant(names)));
}

void printIbsTemplateSet(std::ostream& out, const IbsTemplateNames& names) {
    const TemplateVariant variant = ibsTemplateVariant(names);
    const TemplateLineSink sink = streamLineSink(out);
    for (SharedTemplate element :
         {SharedTemplate::layoutCrc, SharedTemplate::manage, SharedTemplate::configNode,
          SharedTemplate::mapEntry, SharedTemplate::channel, SharedTemplate::module,
          SharedTemplate::device, SharedTemplate::deviceInput, SharedTemplate::deviceOutput,
          SharedTemplate::layoutXfer}) {
        printSharedTemplate(sink, element, variant);
    }
}

}  // namespace svc
