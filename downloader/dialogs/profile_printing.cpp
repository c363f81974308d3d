#include "downloader/dialogs/profile_printing.h"

#include <cstdarg>
#include <ctime>

#include "downloader/formatted_text.h"
#include "downloader/settings.h"

namespace ui = platform::ui;

namespace {

std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// A printout line holds a field of up to 1023 characters (the host) beside its label.
std::string Format(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::string text = FormattedText(2047, format, arguments);
    va_end(arguments);
    return text;
}

const char* YesNo(int32_t field) {
    return field == 1 ? "Yes" : "NO";
}

class Page {
  public:
    explicit Page(const ui::PrintMetrics& metrics)
        : w_(metrics.charWidth), h_(metrics.charHeight), width_(metrics.pageWidth), y_(5 * h_) {}

    // A line at the left margin, then `advance` lines down.
    void Line(std::string text, int advance = 1) {
        lines_.push_back({10 * w_, y_, std::move(text)});
        y_ += advance * h_;
    }
    void RightAligned(std::string text) {
        const int x = width_ - 10 * w_ - static_cast<int>(text.size()) * w_;
        lines_.push_back({x, y_, std::move(text)});
    }
    void Centred(std::string text, int advance) {
        const int x = (width_ - static_cast<int>(text.size()) * w_) / 2;
        lines_.push_back({x, y_, std::move(text)});
        y_ += advance * h_;
    }
    void Down(int advance) { y_ += advance * h_; }
    std::vector<PrintedLine> Lines() { return std::move(lines_); }

  private:
    int w_, h_, width_, y_;
    std::vector<PrintedLine> lines_;
};

void ConnectionLines(Page& page, const SystemProfile& r) {
    page.Line("--- Connection Settings ---");
    if (r.connectMode == kConnectSerial) {
        page.Line("Connection mode: Serial");
        page.Line(Format("%s: %s,%s,%i,%i %s drop %li", r.portName.c_str(), r.baudText.c_str(),
                         r.parityText.c_str(), r.dataBits, r.stopBits, r.ascii == 1 ? "ASCII " : "",
                         static_cast<long>(r.drop)));
    } else if (r.connectMode == kConnectTcp) {
        page.Line("Connection mode: TCP/IP");
        page.Line(Format("   Address: %s:%li drop %li", r.host.c_str(),
                         static_cast<long>(r.tcpPort), static_cast<long>(r.drop)));
    } else {
        page.Line("Connection mode: ");
    }
    page.Line(Format("Application space: %i", r.channel), 2);
}

void PortLines(Page& page, const char* title, uint16_t word) {
    page.Line(title);
    // The rate the port runs at, as the configuration dialog shows it: 57600 too.
    page.Line(Format("Baud Rate: %s", BaudRateText(PortBaudCode(word)).c_str()));
    page.Line(Format("Parity: %s", PortHasParity(word) ? "Even" : "None"));
    page.Line(Format("Drop: %li", static_cast<long>(PortDrop(word))), 2);
}

std::string AddressText(const char* label, const CommConfigBlock& block, size_t first) {
    return Format("%s: %li.%li.%li.%li", label, static_cast<long>(block[first]),
                  static_cast<long>(block[first + 1]), static_cast<long>(block[first + 2]),
                  static_cast<long>(block[first + 3]));
}

void ModuleLines(Page& page, const ReportContext& context) {
    if (context.module != ModuleJob::kDone) {
        page.Line("Failed to read comm configuation", 2);
        return;
    }
    const CommConfigBlock& block = context.config;
    PortLines(page, "--- Port 1 Configuation ---", block[kSerialPort1Word]);
    PortLines(page, "--- Port 2 Configuation ---", block[kSerialPort2Word]);
    page.Line("--- Ethernet Port Configuation ---");
    page.Line(AddressText("IP", block, kIpAddressWord));
    page.Line(AddressText("Subnet", block, kSubnetMaskWord));
    page.Line(AddressText("Gateway", block, kGatewayWord));
    page.Line(Format("Port: %li", static_cast<long>(block[kTcpPortWord])));
    page.Line(Format("Drop: %li", static_cast<long>(block[kEthernetDropWord])), 2);
}

void OptionLines(Page& page, const SystemProfile& r) {
    page.Line("--- Advanced Configuation ---");
    page.Line(Format("Maximum retries: %li", static_cast<long>(r.retries)));
    page.Line(Format("Communication timeout: %li", static_cast<long>(r.timeoutMs)), 2);
    page.Line(Format("Status Register: %li", static_cast<long>(r.statusRegister)));
    page.Line(Format("Run Pointer: %li", static_cast<long>(r.runRegister)), 2);
    page.Line(Format("Force Write to Flash: %s", YesNo(r.forceFlash)));
    page.Line(Format("Auto Start: %s", YesNo(r.autoStart)));
    page.Line(Format("Load Program: %s", YesNo(r.loadProgram)));
    page.Line(Format("Erase Flash: %s", YesNo(r.eraseFlash)), 0);
}

std::string PrintedAt() {
    const std::time_t now = std::time(nullptr);
    char text[32] = "";
    if (const std::tm* local = std::localtime(&now)) {
        std::strftime(text, sizeof text, "%m/%d/%y %H:%M:%S", local);
    }
    return text;
}

}  // namespace

std::vector<PrintedLine> ProfileReportLines(const SystemProfile& record,
                                            const ReportContext& context) {
    Page page(context.metrics);
    page.Line("Printed " + context.printedAt, 0);
    if (context.module == ModuleJob::kDone)
        page.RightAligned(context.moduleName);
    page.Down(3);
    page.Centred(Format("---- %s ----", "VEXIM Profile"), 2);
    page.Line("--- File Settings ---");
    page.Line(Format("Profile: %s", context.profileName.c_str()));
    page.Line(Format("Filename: %s", record.fileName.c_str()), 2);
    ConnectionLines(page, record);
    ModuleLines(page, context);
    OptionLines(page, record);
    return page.Lines();
}

void PrintProfile(ui::Window owner, const SystemProfile& record) {
    ui::PrintJob job;
    switch (job.Begin(owner, "VEXIM Profile")) {
        case ui::PrintJob::Start::Cancelled:
            return;
        case ui::PrintJob::Start::Failed:
            ui::ShowMessageBox(owner, "Printing failed", "Error", ui::Buttons::Ok, ui::Icon::Stop);
            return;
        case ui::PrintJob::Start::Printing:
            break;
    }
    ReportContext context;
    context.metrics = job.Metrics();
    context.module = ConnectModule();
    context.moduleName = moduleName;
    context.config = commConfig;
    context.printedAt = PrintedAt();
    context.profileName = loadOptions.profileName;
    for (const PrintedLine& line : ProfileReportLines(record, context)) {
        job.Text(line.x, line.y, line.text);
    }
    job.End();
}
