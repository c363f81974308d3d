#include "extractor/loop/conversion_loop.h"

#include "extractor/iby_template_set.h"
#include "extractor/loop/assignment_sort.h"
#include "extractor/loop/module_sections.h"
#include "extractor/passes/module_search.h"
#include "extractor/project/comm_calls.h"
#include "extractor/project/device_arrays.h"
#include "extractor/project/line_text.h"

namespace extractor {

namespace {

bool inModuleReadingState(LoopState state) {
    switch (state) {
        case LoopState::ModuleHeader:
        case LoopState::InModule:
        case LoopState::AfterAddress:
        case LoopState::AfterWords:
        case LoopState::NameLength:
        case LoopState::NameCharacters:
        case LoopState::WordCount:
        case LoopState::ServiceWords:
            return true;
        default:
            return false;
    }
}

const DerivedTypeCatalogue& typesOf(const LoopSetup& setup) {
    static const DerivedTypeCatalogue none;
    return setup.types != nullptr ? *setup.types : none;
}

}  // namespace

ConversionLoop::ConversionLoop(LoopSetup setup, LoopOutputs outputs)
    : setup_(std::move(setup)),
      out_(std::move(outputs)),
      declarations_(module_, typesOf(setup_),
                    DeclarationOutputs{out_.project,
                                       [this](std::string_view line) {
                                           inputAssignments_.emplace_back(line);
                                           out_.inputList(line);
                                       },
                                       [this](std::string_view line) {
                                           outputAssignments_.emplace_back(line);
                                           out_.outputList(line);
                                       },
                                       out_.results}) {
    if (setup_.census != nullptr) {
        sectionNumbers_ = setup_.census->sectionDeclared;
    }
    if (!setup_.modules.empty()) {
        module_.rack = setup_.modules.back().rack;
        module_.slot = setup_.modules.back().slot;
    }
}

void ConversionLoop::fail(std::string text, std::string caption) {
    if (!failure_) {
        failure_ = ConversionFailure{std::move(text), std::move(caption)};
    }
}

void ConversionLoop::trace(std::string_view text) {
    if (setup_.debugLevel == 1 && setup_.trace != nullptr) {
        *setup_.trace << text << '\n';
    }
}

void ConversionLoop::line(std::string_view input) {
    if (failure_) {
        return;
    }
    std::string text(input);
    // A block-diagram block being read takes its lines up to its address pin; the last one
    // then goes through the loop like any other.
    if (fbd_.active()) {
        CommRewriteContext context = commContext();
        std::vector<std::string> finished;
        if (!fbd_.feed(text, context, finished)) {
            return;
        }
        // The block's lines are program code like any other: its pins may name the module's
        // words too.
        for (std::string& line : finished) {
            if (state_.state == LoopState::Code) {
                rewriteCode(line);
            }
            write(line);
        }
        text = fbd_.lastLine();
    }
    // After a "</program>" or "</SFCProgram>" the next line tells whether another program follows;
    // it then goes through every step like any other line.
    if (pendingProgramEnd_) {
        pendingProgramEnd_ = false;
        if (holds(text, "<program") || holds(text, "<SFCProgram")) {
            state_.state = LoopState::Code;
        } else {
            endPrograms();
        }
    }
    // A "<moduleATS" line is kept until the next line tells which module it opens.
    if (pendingModuleHeader_) {
        const std::string header = std::move(*pendingModuleHeader_);
        pendingModuleHeader_.reset();
        chooseModule(header, text);
    } else if (holds(text, "<moduleATS")) {
        pendingModuleHeader_ = text;
        return;
    }
    if (holds(text, "</moduleATS")) {
        endModuleBlock();
    }
    definedNames_.line(text);
    // An empty data block may be written on one line; its parts go between the two tags.
    expandEmptyElement(text, "dataBlock");
    if (holds(text, "<dataBlock>")) {
        startDataBlock();
    }
    if (const std::size_t close = text.find("</dataBlock>"); close != std::string::npos) {
        const std::size_t open = text.find("<dataBlock>");
        if (open != std::string::npos && open < close) {
            declarations_.line(std::string_view(text).substr(0, close));
            const std::size_t indent = text.find_first_not_of(" \t");
            text = text.substr(0, indent) + text.substr(close);
        }
        endDataBlock();
    }
    if (holds(text, "<taskDesc task=") && holds(text, "MAST")) {
        startMastTask(text);
        return;
    }
    if (holds(text, "</taskDesc>") && state_.state == LoopState::MastTask) {
        write(sectionDescLine(module_.name("IBY_OUT"), "", ++sectionOrder_));
        state_.state = LoopState::Copy;
    }
    if (holds(text, "</logicConf>")) {
        endLogicConf(text);
    }
    if (holds(text, "</IOConf>")) {
        dfbArea_ = true;
    }
    if ((state_.state == LoopState::Code || dfbArea_) && !dfbAndCallSteps(text)) {
        return;
    }
    // A sequential chart is a program of its own element.
    if (holds(text, "<program>") || holds(text, "<SFCProgram")) {
        state_.state = LoopState::Code;
        language_ = 0;
        dfbArea_ = false;
    }
    if (holds(text, "</program>") || holds(text, "</SFCProgram>")) {
        write(text);
        pendingProgramEnd_ = true;
        return;
    }
    if (failure_) {
        return;
    }
    handleState(text);
}

void ConversionLoop::chooseModule(std::string_view header, std::string_view next) {
    if (namesIby100Module(next)) {
        if (!state_.moduleConverted) {
            // The converted module's whole block leaves the project.
            state_.moduleConverted = true;
            state_.state = LoopState::ModuleHeader;
            state_.block = BlockState::ConvertedModule;
            trace(" ----------------  Found an IBY100 to parse  ---------------------");
            trace(next);
            trace(" ----------------    ---------------------");
            return;
        }
        state_.furtherModule = true;
        trace(" ----------------  Found an IBY100 to skip  ---------------------");
        trace(next);
        trace(" ----------------    ---------------------");
    }
    state_.state = LoopState::Copy;
    state_.block = BlockState::Copy;
    write(header);
}

void ConversionLoop::endModuleBlock() {
    if (state_.block == BlockState::ConvertedModule && !serviceFileDecoded_) {
        fail("ERROR: The configuration of the TSXIBY100 module at rack " + decimal(module_.rack) +
             " slot " + decimal(module_.slot) +
             " ends before its service file is complete; nothing was converted.");
        return;
    }
    state_.block =
        state_.block == BlockState::ConvertedModule ? BlockState::Drop : BlockState::Copy;
    state_.state = LoopState::Copy;
}

void ConversionLoop::startDataBlock() {
    dataBlockSeen_ = true;
    // Written once, in front of the first data block, where the project lacks it: a project
    // that defines the whole set carries it (a second pass's project, say); one that defines
    // a part of it is told which names it defines itself.
    if (!templatesWritten_) {
        templatesWritten_ = true;
        std::vector<std::string> defined;
        const std::vector<std::string_view> names = ibyTemplateNames();
        for (std::string_view name : names) {
            if (definedNames_.defines(name)) {
                defined.emplace_back(name);
            }
        }
        if (defined.size() < names.size()) {
            for (const std::string& name : defined) {
                out_.results("  WARNING!!!!  The project defines " + name +
                             " itself: the generated " + name +
                             " is not written, and the generated types and blocks use the "
                             "project's.");
            }
            clashes_ = std::move(defined);
            IbyModuleAddresses table;
            if (!setup_.modules.empty()) {
                table.rack1 = setup_.modules[0].rack;
                table.slot1 = setup_.modules[0].slot;
            }
            if (setup_.modules.size() > 1) {
                table.rack2 = setup_.modules[1].rack;
                table.slot2 = setup_.modules[1].slot;
            }
            writeIbyTemplateSet(out_.project, table, [this](std::string_view name) {
                return !definedNames_.defines(name);
            });
        }
    }
    state_.state = LoopState::Declarations;
}

void ConversionLoop::endDataBlock() {
    declarations_.flush();
    // The module's variables and the section instances are declared once, at the end of the
    // first data block.
    if (!moduleVariablesWritten_) {
        moduleVariablesWritten_ = true;
        writeModuleVariables(out_.project, module_);
        if (setup_.census != nullptr) {
            writeSectionInstances(out_.project, *setup_.census);
        }
    }
    state_.state = LoopState::Copy;
}

void ConversionLoop::startMastTask(std::string_view text) {
    mastTaskSeen_ = true;
    // The one-line form "<taskDesc ...></taskDesc>" gets its descriptions between the two tags.
    const std::size_t close = text.find("</taskDesc>");
    write(close == std::string_view::npos ? text : text.substr(0, close));
    sectionOrder_ = 0;
    write(sectionDescLine(module_.name("IBY_IN"), "", ++sectionOrder_));
    write(sectionDescLine(module_.name("IBY_LOAD"), "", ++sectionOrder_));
    if (close == std::string_view::npos) {
        state_.state = LoopState::MastTask;
        return;
    }
    write(sectionDescLine(module_.name("IBY_OUT"), "", ++sectionOrder_));
    const std::size_t indent = text.find_first_not_of(" \t");
    write(std::string(text.substr(0, indent == std::string_view::npos ? 0 : indent)) +
          std::string(text.substr(close)));
    state_.state = LoopState::Copy;
}

std::vector<std::string> ConversionLoop::sortedList(const std::vector<std::string>& list,
                                                    AssignmentList kind, const LineSink& sorted) {
    SortedAssignments result = sortAssignments(list, kind, setup_.console);
    for (const std::string& line : result.lines) {
        sorted(line);
    }
    for (const std::string& warning : result.warnings) {
        out_.results(warning);
    }
    return std::move(result.lines);
}

void ConversionLoop::endLogicConf(std::string_view text) {
    logicConfEnded_ = true;
    state_.block = BlockState::Drop;
    write(text);
    writeInSection(out_.project, module_,
                   sortedList(inputAssignments_, AssignmentList::Inputs, out_.sortedInputs));
    // The configuration program the decoder wrote for the module, under the module's names.
    writeSectionHead(out_.project, module_.name("IBY_LOAD"));
    enum class Copying { Before, Inside, After } copying = Copying::Before;
    if (setup_.services == nullptr) {
        fail("ERROR: No configuration program for the module.");
        return;
    }
    const auto failed = setup_.services->readConfigurationProgram([&](std::string_view line) {
        if (copying == Copying::Before && holds(line, "<STSource>")) {
            copying = Copying::Inside;
        }
        if (copying == Copying::Inside) {
            write(loadSectionLine(std::string(line), module_));
            if (holds(line, "</STSource>")) {
                copying = Copying::After;
            }
        }
    });
    if (failed) {
        failure_ = *failed;
        return;
    }
    write("\t</program>");
    state_.state = LoopState::Copy;
}

bool ConversionLoop::dfbAndCallSteps(std::string& text) {
    if (holds(text, "<identProgram name=")) {
        currentName_ = std::string(firstQuotedValue(text));
    }
    if (holds(text, "<FBSource nameOfFBType=")) {
        currentName_ = std::string(firstQuotedValue(text));
        currentDfb_ = setup_.census != nullptr ? setup_.census->dfbNumber(currentName_) : 0;
        dfbInstancesWritten_ = false;
        // Instances in a DFB are numbered from 1, after any the DFB declares already.
        dfbNumbers_ = currentDfb_ > 0
                          ? setup_.census->dfbs[static_cast<std::size_t>(currentDfb_ - 1)].declared
                          : KindCounts{};
    }
    if (currentDfb_ > 0 && !dfbInstancesWritten_) {
        const CensusDfb& dfb = setup_.census->dfbs[static_cast<std::size_t>(currentDfb_ - 1)];
        // An empty section written as one tag takes the instances all the same.
        expandEmptyElement(text, "privateLocalVariables");
        if (holds(text, "</privateLocalVariables")) {
            // The one-line form "<privateLocalVariables></privateLocalVariables>" is split so
            // the instances stand inside it.
            const std::size_t close = text.find("</privateLocalVariables");
            if (holds(std::string_view(text).substr(0, close), "<privateLocalVariables")) {
                write(std::string_view(text).substr(0, close));
                const std::size_t indent = text.find_first_not_of(" \t");
                text = text.substr(0, indent) + text.substr(close);
            }
            writeDfbInstances(out_.project, dfb);
            dfbInstancesWritten_ = true;
        } else if (holds(text, "<FBProgram")) {
            // A DFB without private variables gets the section for its instances.
            bool any = false;
            for (int count : dfb.calls) {
                any = any || count > 0;
            }
            if (any) {
                write("\t\t<privateLocalVariables>");
                writeDfbInstances(out_.project, dfb);
                write("\t\t</privateLocalVariables>");
            }
            dfbInstancesWritten_ = true;
        }
    }
    // A DFB's source language ends with the DFB: the lines up to the next source are no code.
    if (holds(text, "</FBSource")) {
        language_ = 0;
        return true;
    }
    if (holds(text, "<STSource")) {
        language_ = 1;
    } else if (holds(text, "<LDSource")) {
        language_ = 2;
    } else if (holds(text, "<FBDSource")) {
        language_ = 3;
    }
    if (language_ == 3) {
        return !fbd_.start(text);
    }
    // A ladder rung holds library blocks as elements too.
    if (language_ == 2 && fbd_.start(text)) {
        return false;
    }
    // Few lines call a communication block; the rest need no closer look.
    if (text.find('(') == std::string::npos) {
        return true;
    }
    const std::string upper = upperCase(text);
    if (!holds(upper, "SEND_REQ(") && !holds(upper, "READ_VAR(") && !holds(upper, "WRITE_VAR(")) {
        return true;
    }
    CommRewriteContext context = commContext();
    for (CommBlock block : {CommBlock::SendReq, CommBlock::ReadVar, CommBlock::WriteVar}) {
        text = rewriteCommBlocks(std::move(text), block, context);
    }
    return true;
}

CommRewriteContext ConversionLoop::commContext() {
    return CommRewriteContext{module_,     language_, dfbArea_,     sectionNumbers_,
                              dfbNumbers_, counters_, out_.results, currentName_};
}

void ConversionLoop::rewriteCode(std::string& text) {
    if (!references_) {
        references_.emplace(module_);
    }
    const int direct = referenceCounts_.direct;
    references_->rewrite(text, setup_.ignoreStrings, referenceCounts_);
    if (referenceCounts_.direct != direct) {
        for (const std::string& element : elementsOutOfRange(text, module_.name("IBY_DIO"))) {
            out_.results("  WARNING!!!!  " + element + " in '" + currentName_ +
                         "' names a word the module's data does not have.");
        }
    }
}

void ConversionLoop::endPrograms() {
    if (outSectionWritten_) {
        return;
    }
    outSectionWritten_ = true;
    writeOutSection(out_.project, module_,
                    sortedList(outputAssignments_, AssignmentList::Outputs, out_.sortedOutputs));
    state_.state = LoopState::Copy;
}

void ConversionLoop::handleState(std::string_view text) {
    if (holds(text, "<animationTable")) {
        state_.state = LoopState::Code;
    }
    if (holds(text, "</animationTable")) {
        state_.state = LoopState::Copy;
    }
    switch (state_.state) {
        case LoopState::Declarations:
            declarations_.line(text);
            return;
        case LoopState::Code: {
            std::string code(text);
            rewriteCode(code);
            write(code);
            return;
        }
        case LoopState::MastTask:
            rewriteSectionDesc(text);
            return;
        case LoopState::Copy:
            break;
        default:
            readModuleConfiguration(text);
            return;
    }
    if (state_.block == BlockState::Copy) {
        write(text);
    } else if (state_.block == BlockState::Drop) {
        state_.block = BlockState::Copy;
    }
}

void ConversionLoop::readModuleConfiguration(std::string_view text) {
    if (!inModuleReadingState(state_.state)) {
        return;
    }
    if (state_.state == LoopState::ModuleHeader) {
        trace(text);
    }
    const LoopState before = state_.state;
    const ModuleConfigReader::Step step = configReader_.line(text, state_.state, module_);
    if (before == LoopState::InModule && state_.state == LoopState::AfterAddress) {
        trace("----------------------");
        trace("IBYtopoaddress = '" + module_.rackSlot() + ".0.'");
        trace("----------------------");
    }
    switch (step) {
        case ModuleConfigReader::Step::Nothing:
            break;
        case ModuleConfigReader::Step::Malformed:
            fail("ERROR: Malformed configuration of the TSXIBY100 module at rack " +
                 decimal(module_.rack) + " slot " + decimal(module_.slot) + ": " +
                 configReader_.error());
            break;
        case ModuleConfigReader::Step::ServiceFileRead:
            decodeServiceFile();
            break;
    }
}

void ConversionLoop::decodeServiceFile() {
    trace(" *************************************************");
    trace("Original filename = '" + configReader_.serviceFile().storedName + "'");
    if (setup_.services == nullptr) {
        fail("ERROR: The module's service file cannot be decoded here.");
        return;
    }
    if (const auto failed =
            setup_.services->decodeServiceFile(configReader_.serviceFile(), module_)) {
        failure_ = *failed;
        return;
    }
    serviceFileDecoded_ = true;
}

void ConversionLoop::rewriteSectionDesc(std::string_view text) {
    if (!holds(text, "<sectionDesc ")) {
        write(text);
        return;
    }
    const std::size_t nameAt = text.find(" name=");
    const std::size_t open = nameAt == std::string_view::npos ? nameAt : text.find('"', nameAt);
    const std::size_t close = open == std::string_view::npos ? open : text.find('"', open + 1);
    if (close == std::string_view::npos) {
        write(text);
        return;
    }
    const std::string_view name = text.substr(open + 1, close - open - 1);
    const std::size_t order = text.find(" SectionOrder=", close);
    std::string_view rest;
    std::string_view after;
    if (order != std::string_view::npos) {
        rest = text.substr(close + 1, order - close - 1);
        const std::size_t valueOpen = text.find('"', order);
        const std::size_t valueClose =
            valueOpen == std::string_view::npos ? valueOpen : text.find('"', valueOpen + 1);
        after =
            valueClose == std::string_view::npos ? std::string_view() : text.substr(valueClose + 1);
    } else {
        const std::size_t tagEnd = text.find('>', close);
        const std::size_t restEnd =
            tagEnd == std::string_view::npos
                ? text.size()
                : (tagEnd > 0 && text[tagEnd - 1] == '/' ? tagEnd - 1 : tagEnd);
        rest = text.substr(close + 1, restEnd - close - 1);
        after = text.substr(restEnd);
    }
    write(sectionDescLine(name, rest, ++sectionOrder_, after));
}

void ConversionLoop::finish() {
    counters_.inputVariables = declarations_.inputVariables();
    counters_.outputVariables = declarations_.outputVariables();
    counters_.channelVariables = declarations_.channelVariables();
    counters_.ioddtReferences = referenceCounts_.ioddt;
    counters_.directReferences = referenceCounts_.direct;
    if (failure_) {
        return;
    }
    declarations_.flush();
    for (std::string& line : fbd_.flush()) {
        if (state_.state == LoopState::Code) {
            rewriteCode(line);
        }
        write(line);
    }
    if (pendingModuleHeader_) {
        write(*pendingModuleHeader_);
        pendingModuleHeader_.reset();
    }
    if (pendingProgramEnd_) {
        pendingProgramEnd_ = false;
        endPrograms();
    }
    if (!dataBlockSeen_) {
        fail("ERROR: The project file has no data block (<dataBlock>); nothing was converted.");
    } else if (!mastTaskSeen_) {
        fail(
            "ERROR: The project file has no MAST task description (<taskDesc task=\"MAST\">); "
            "nothing was converted.");
    } else if (!logicConfEnded_) {
        fail(
            "ERROR: The project file has no end of its logic configuration (</logicConf>); "
            "nothing was converted.");
    } else if (!outSectionWritten_) {
        fail(
            "ERROR: The project file has no program (<program> or <SFCProgram>); nothing was "
            "converted.");
    }
}

}  // namespace extractor
