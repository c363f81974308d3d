// IBS_Layout_Xfer: hands the Config and Map tables to the PMEDWL module one entry per handshake
// through the device's 12-word output window, for as long as the module's checksums differ.

#include "svc/ibs_function_block.h"
#include "svc/ibs_templates.h"
#include "svc/svc_exchange_text.h"

namespace svc {
namespace {

// Every "DIOiby" names the device pin and is replaced by the pin name of the print.
constexpr const char* kMoveItProgram = R"((* IBS_Layout_Xfer    V1.01 *)
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
			config_done := 1;
			Manage.error := 0;
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
				if DIOiby.Outputs.Q_Window_Mode = 2 then
					DIOiby.Outputs.Q_Window_Mode := 0;
				end_if;
			end_if;
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

}  // namespace

void printIbsLayoutXfer(std::ostream& out, const IbsTemplateNames& names) {
    IbsFunctionBlock block;
    block.name = "IBS_Layout_Xfer";
    block.pins = {{names.pinName, "T_" + names.deviceWord, 4}, {"Manage", "IBS_Manage", 6}};
    block.privateLocals = {{"Config_Index", "INT", {}},
                           {"Config_Done", "BOOL", {}},
                           {"Map_Done", "BOOL", {}},
                           {"Map_Index", "INT", {}},
                           {"Name_Int", "ARRAY[0..5] OF INT", {}}};
    block.programName = "MoveIt";
    block.programText = replacedEverywhere(kMoveItProgram, "DIOiby", names.pinName);
    printIbsFunctionBlock(out, block);
}

}  // namespace svc
