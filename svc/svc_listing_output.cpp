#include "svc/svc_listing_output.h"

#include <string>

namespace svc {

std::size_t blanksToNextZone(std::size_t column) {
    return svcPrintZoneWidth - column % svcPrintZoneWidth;
}

void SvcListingOutput::Copy::write(std::string_view text) {
    if (out == nullptr) {
        return;
    }
    out->write(text.data(), static_cast<std::streamsize>(text.size()));
    column += text.size();
}

void SvcListingOutput::Copy::pad() {
    write(std::string(blanksToNextZone(column), ' '));
}

void SvcListingOutput::Copy::endLine() {
    if (out != nullptr) {
        out->write(lineEnd.data(), static_cast<std::streamsize>(lineEnd.size()));
    }
    column = 0;
}

// The console is a text stream, so a plain LF there becomes the platform's own line end.
SvcListingOutput::SvcListingOutput(std::ostream& listing, std::ostream* console)
    : listing_{&listing, "\r\n"}, console_{console, "\n"} {}

void SvcListingOutput::write(std::string_view text) {
    listing_.write(text);
    console_.write(text);
}

void SvcListingOutput::write(std::string_view listingText, std::string_view consoleText) {
    listing_.write(listingText);
    console_.write(consoleText);
}

void SvcListingOutput::writeListingOnly(std::string_view text) {
    listing_.write(text);
}

void SvcListingOutput::writeConsoleOnly(std::string_view text) {
    console_.write(text);
}

void SvcListingOutput::pad() {
    listing_.pad();
    console_.pad();
}

void SvcListingOutput::endLine() {
    listing_.endLine();
    console_.endLine();
}

void SvcListingOutput::endOpenLine() {
    for (Copy* copy : {&listing_, &console_}) {
        if (copy->column > 0) {
            copy->endLine();
        }
    }
}

void SvcListingOutput::endListingLine() {
    listing_.endLine();
}

void SvcListingOutput::endConsoleLine() {
    console_.endLine();
}

void SvcListingOutput::finishListing() {
    if (listing_.column > 0) {
        listing_.endLine();
    }
}

}  // namespace svc
