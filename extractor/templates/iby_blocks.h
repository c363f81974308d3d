#pragma once

// The function blocks of the IBY template set that have no counterpart in the IBS set, built on
// the shared template text (svc/template_set.h) under the IBY variant's names and stamps.

#include <string>
#include <string_view>
#include <vector>

#include "extractor/iby_template_set.h"
#include "svc/template_set.h"

namespace extractor {

// The shared types and layout blocks under the IBY names, with the stamps of the set's element
// table.
svc::TemplateVariant ibyTemplateVariant();

// The status copy blocks, for the replacement of READ_STS blocks.
svc::TemplateFunctionBlock ibyModulePmedwlBlock(const svc::TemplateVariant& variant);
svc::TemplateFunctionBlock ibyChannelPmedwlBlock(const svc::TemplateVariant& variant);

// The IODDT images derived from the module's status words, and the command words from them.
svc::TemplateFunctionBlock ibyIoddtInBlock(const svc::TemplateVariant& variant);
svc::TemplateFunctionBlock ibyIoddtOutBlock(const svc::TemplateVariant& variant);

// The communication blocks: a fixed address (target and IP text as pins), or a route array
// matched against the module table.
svc::TemplateFunctionBlock ibySendReqBlock(const svc::TemplateVariant& variant);
svc::TemplateFunctionBlock ibySendReqDynamicBlock(const svc::TemplateVariant& variant,
                                                  const IbyModuleAddresses& modules);
svc::TemplateFunctionBlock ibyReadVarBlock(const svc::TemplateVariant& variant);
svc::TemplateFunctionBlock ibyReadVarDynamicBlock(const svc::TemplateVariant& variant,
                                                  const IbyModuleAddresses& modules);
svc::TemplateFunctionBlock ibyWriteVarBlock(const svc::TemplateVariant& variant);
svc::TemplateFunctionBlock ibyWriteVarDynamicBlock(const svc::TemplateVariant& variant,
                                                   const IbyModuleAddresses& modules);

// The names of the members of `type` from `first` to `last`, both included, in member order.
std::vector<std::string> memberRun(const svc::TemplateDataType& type, std::string_view first,
                                   std::string_view last);

}  // namespace extractor
