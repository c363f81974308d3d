#pragma once

// The decoder's listing goes to two places at once: the "_parse.txt" file (CR LF lines) and the
// console. The two copies differ in a few texts, so each keeps its own column for the print
// zones that line the decoded text up after the echoed input.

#include <cstddef>
#include <ostream>
#include <string_view>

namespace svc {

inline constexpr std::size_t svcPrintZoneWidth = 14;

// Blanks that take a line of `column` characters to the next print zone: 1 to 14.
std::size_t blanksToNextZone(std::size_t column);

class SvcListingOutput {
  public:
    // `console` may be null when no console copy is wanted.
    SvcListingOutput(std::ostream& listing, std::ostream* console);

    void write(std::string_view text);
    // A text that reads differently in the listing file and on the console.
    void write(std::string_view listingText, std::string_view consoleText);
    void writeListingOnly(std::string_view text);
    void writeConsoleOnly(std::string_view text);
    // Blanks up to the next print zone, in each copy by its own column.
    void pad();
    void endLine();
    // Ends the line in each copy where an echo left it open, so that a text of its own starts
    // a line.
    void endOpenLine();
    void endListingLine();
    void endConsoleLine();
    // Ends the listing's last line when an echo left it open, so that the file, like every text
    // file of the tools, has each line ended in CR LF. The console's open line is ended by
    // whatever it shows next.
    void finishListing();

  private:
    struct Copy {
        std::ostream* out;
        std::string_view lineEnd;
        std::size_t column = 0;
        void write(std::string_view text);
        void pad();
        void endLine();
    };
    Copy listing_;
    Copy console_;
};

}  // namespace svc
