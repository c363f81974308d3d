#include "loadcode/window/dtm_name_field.h"

#include "loadcode/loadfile/load_names.h"
#include "loadcode/window/tamsel_tables.h"

namespace loadcode {

namespace ui = platform::ui;

void createDtmNameField(TamselProgram& program, ui::Window window) {
    const ui::DialogSpec spec = tamselWindowSpec();
    // Without horizontal scrolling a one-line field takes no more than it can show, and a long
    // DTM name could not be typed whole.
    ui::ChildSpec field{spec.controls[0].kind,
                        spec.controls[0].id,
                        spec.controls[0].text,
                        90,
                        50,
                        200,
                        20,
                        ui::kChildBorder | ui::kChildAutoScroll | ui::kChildTranscribed};
    program.dtmNameField = ui::CreateChild(window, field);
    // The prompt is the field's cue banner, shown only while it is empty: were it the field's
    // text, the next name typed would be added to it.
    ui::SetCueBanner(program.dtmNameField, dtmNamePlaceholder);
    ui::ChildSpec label{spec.controls[1].kind, 0, spec.controls[1].text, 5, 50, 84, 20,
                        ui::kChildTranscribed};
    ui::CreateChild(window, label);
}

std::string dtmNameInField(const TamselProgram& program) {
    return ui::GetText(program.dtmNameField).substr(0, dtmNameMaxChars);
}

void synchroniseDtmName(TamselProgram& program) {
    const std::string text = dtmNameInField(program);
    // An empty field shows its cue banner and keeps the stored name; the prompt typed as a
    // name is not one either.
    if (text.empty() || text == dtmNamePlaceholder) {
        return;
    }
    program.dtmName = text;
    storeDtmName(text);
}

std::optional<std::string> dtmNameRefusal(std::string_view dtmName) {
    if (dtmName.empty() || dtmName == dtmNamePlaceholder) {
        return std::string(
            " Set the 'DTM Name' text to the name assigned to the PMEDWL in the DTM Browser"
            " first.");
    }
    if (!isPlcNamePart(dtmName)) {
        return " The DTM Name '" + std::string(dtmName) +
               "' cannot name the PLC variables: it must begin with a letter and hold only "
               "letters, digits and single underscores, without one at its end.";
    }
    return std::nullopt;
}

}  // namespace loadcode
