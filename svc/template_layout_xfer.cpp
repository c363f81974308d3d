// The layout transfer block: hands the Config and Map tables to the PMEDWL module one entry per
// handshake through the device's 12-word output window, for as long as the module's checksums
// differ.

#include "svc/svc_exchange_text.h"
#include "svc/template_set.h"

namespace svc {
namespace {

// The program in pieces, so that a variant can leave out the two optional statements. Every
// "DIOiby" names the device pin and is replaced by the pin name of the print.
constexpr const char* kMoveItConfigWindows = R"((* IBS_Layout_Xfer    V1.01 *)
if DIOiby.Freshness then
	if NOT (DIOiby.Inputs.PDWL_Status.9) then
		if DIOiby.Inputs.I_Config_CRC &lt;&gt; DIOiby.Outputs.Q_Config_CRC then
			if Config_Index &lt; 512 then
				if DIOiby.Inputs.Q_Handshake_Echo = DIOiby.Outputs.Q_Handshake then
					DIOiby.Outputs.Q_Handshake := DIOiby.Outputs.Q_Handshake + 1;
					DIOiby.Outputs.Q_Window_Mode := 1;
					Name_Int := string_to_ascii(Manage.Config[Config_Index].Name);
					DIOiby.Outputs.Q_Window[0] := int_to_word(Config_Index);
					DIOiby.Outputs.Q_Window[1] := byte_as_word(Manage.Config[Config_Index].Segment_Number, Manage.Config[Config_Index].Segment_Position);
					DIOiby.Outputs.Q_Window[2] := byte_as_word(Manage.Config[Config_Index].Module_ID, Manage.Config[Config_Index].DP_Word_Count);
					DIOiby.Outputs.Q_Window[3] := byte_as_word(Manage.Config[Config_Index].Device_Level, Manage.Config[Config_Index].Logical_Group);
					DIOiby.Outputs.Q_Window[4] := byte_as_word(Manage.Config[Config_Index].Alternative, Manage.Config[Config_Index].PCP_TX_Max_PDU);
					DIOiby.Outputs.Q_Window[5] := byte_as_word(Manage.Config[Config_Index].PCP_RX_Max_PDU, Manage.Config[Config_Index].PCP_Services[0]);
					DIOiby.Outputs.Q_Window[6] := byte_as_word(Manage.Config[Config_Index].PCP_Services[1], Manage.Config[Config_Index].PCP_Services[2]);
					DIOiby.Outputs.Q_Window[7] := int_to_word(Name_Int[0]);
					DIOiby.Outputs.Q_Window[8] := int_to_word(Name_Int[1]);
					DIOiby.Outputs.Q_Window[9] := int_to_word(Name_Int[2]);
					DIOiby.Outputs.Q_Window[10] := int_to_word(Name_Int[3]);
					DIOiby.Outputs.Q_Window[11] := int_to_word(Name_Int[4]);
					if Manage.Config[Config_Index].Segment_Number = 0 then
						Config_Index := 0;
						config_done := 0;
						Manage.errorstring := '';
						map_index := 0;
					else
						Config_Index := Config_Index + 1;
					end_if;
				end_if;
			else
				Config_Index := 0;
				config_done := 0;
				Manage.error := 0;
				Manage.errorstring := '';
			end_if;
		else
			Config_Index := 0;
)";

constexpr const char* kConfigDoneOnAgreement = "\t\t\tconfig_done := 1;\n";

constexpr const char* kMoveItMapWindows = R"(			Manage.error := 0;
			Manage.errorstring := '';
		end_if;
	else
		Config_Index := 0;
		config_done := 1;
		Manage.error := 0;
		Manage.errorstring := '';
		if DIOiby.Inputs.I_Map_CRC &lt;&gt; DIOiby.Outputs.Q_Map_CRC then
			if map_index &lt; 512 then
				if DIOiby.Inputs.Q_Handshake_Echo = DIOiby.Outputs.Q_Handshake then
					DIOiby.Outputs.Q_Handshake := DIOiby.Outputs.Q_Handshake + 1;
					DIOiby.Outputs.Q_Window_Mode := 2;
					DIOiby.Outputs.Q_Window[0] := int_to_word(map_index);
					DIOiby.Outputs.Q_Window[1] := Manage.Map[map_index].PDR_Index;
					DIOiby.Outputs.Q_Window[2] := Manage.Map[map_index].Source_Number;
					DIOiby.Outputs.Q_Window[3] := Manage.Map[map_index].Source_Index;
					DIOiby.Outputs.Q_Window[4] := Manage.Map[map_index].Destination_Number;
					DIOiby.Outputs.Q_Window[5] := Manage.Map[map_index].Destination_Index;
					DIOiby.Outputs.Q_Window[6] := byte_as_word(Manage.Map[map_index].Start_Bit, Manage.Map[map_index].Data_Consistancy);
					DIOiby.Outputs.Q_Window[7] := 0;
					DIOiby.Outputs.Q_Window[8] := 0;
					DIOiby.Outputs.Q_Window[9] := 0;
					if Manage.Map[map_index].PDR_Index = 0 then
						map_index := 0;
						map_done := 1;
						Manage.errorstring := 'done';
					else
						map_index := map_index + 1;
					end_if;
				end_if;
			else
				map_index := 0;
				map_done := 0;
				Manage.error := 0;
				Manage.errorstring := '';
)";

constexpr const char* kMapModeResetAtLimit =
    R"(				if DIOiby.Outputs.Q_Window_Mode = 2 then
					DIOiby.Outputs.Q_Window_Mode := 0;
				end_if;
)";

constexpr const char* kMoveItTail = R"(			end_if;
		else
			if DIOiby.Outputs.Q_Window_Mode = 2 and DIOiby.Inputs.Q_Handshake_Echo = DIOiby.Outputs.Q_Handshake then
				DIOiby.Outputs.Q_Window_Mode := 0;
			end_if;
			Map_Index := 0;
			Manage.error := 0;
			Manage.errorstring := '';
		end_if;
	end_if;
    Manage.active := 1;
else
	DIOiby.Outputs.Q_Window_Mode := 0;
	Config_Index := 0;
	Map_Index := 0;
	Manage.error := 1;
	config_done := 0;
	map_done := 0;
	Manage.errorstring := 'DIOiby not Fresh';
end_if;

if Config_Done and Map_Done then
	Manage.done := 1;
else
	Manage.done := 0;
end_if;

)";

std::string moveItProgram(const TemplateVariant& variant) {
    std::string text = kMoveItConfigWindows;
    if (variant.transferConfigDoneOnAgreement) {
        text += kConfigDoneOnAgreement;
    }
    text += kMoveItMapWindows;
    if (variant.transferMapModeResetAtLimit) {
        text += kMapModeResetAtLimit;
    }
    text += kMoveItTail;
    return replacedEverywhere(text, "DIOiby", variant.pinName);
}

}  // namespace

TemplateFunctionBlock templateLayoutXfer(const TemplateVariant& variant) {
    TemplateFunctionBlock block = stampedBlock(variant, variant.name("Layout_Xfer"));
    if (variant.transferInputParameters) {
        block.inputParameters.emplace();
    }
    block.inOutParameters = {templatePin(variant.pinName, variant.deviceType, 4),
                             templatePin("Manage", variant.name("Manage"), 6)};
    block.privateLocals = {templateLocal("Config_Index", "INT"),
                           templateLocal("Config_Done", "BOOL"), templateLocal("Map_Done", "BOOL"),
                           templateLocal("Map_Index", "INT"),
                           templateLocal("Name_Int", "ARRAY[0..5] OF INT")};
    block.programName = "MoveIt";
    block.programText = moveItProgram(variant);
    return block;
}

}  // namespace svc
