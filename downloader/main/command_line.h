#pragma once

#include <cstdint>
#include <string>
#include <vector>

// vexim's command line:
//   <channel> <file>[.VXL] <port> [<drop>] switches
//   <channel> <file>[.VXL] n.n.n.n[:port] [<drop>] switches
// It fills the Link settings and Load options; a complete line makes the run unattended.

// 1 when the program is to go on, 0 when it is to end with code 1 (every refusal has been
// shown). Removes the double quotes from `text`.
int32_t ParseCommandLine(std::string& text);

// The stored settings (StoredSetting bits) that the last command line set: what an unattended
// run saves, so that it never overwrites the settings of interactive use with values it never
// named (Retries and ASCII, which every command line clears, above all), and what wins over a
// profile named by -P. None after -U, whose profile holds everything.
uint32_t CommandLineSettings();

// Splits the line into tokens at blanks and control characters (bytes 1 to 32); a double quote
// turns quoting on or off and is dropped. Leaves `text` without its double quotes.
std::vector<std::string> SplitTokens(std::string& text);

// One token: a positional argument or a switch. 1 to go on, 0 to stop parsing.
int32_t ParseSwitch(const std::string& token);

// "<baud>,<parity>,<data bits>,<stop bits>", such as "19200,E,8,1": a rate of the baud table, E,
// O or N, 7 or 8 data bits, 1 stop bit. 1 when taken; a refused mode has been shown and has made
// the run interactive.
int32_t ParsePortMode(const std::string& text);
