#include "downloader/system_profile.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/file_replace.h"

namespace pl = profile_layout;

namespace {

void PutU16(ProfileBytes& bytes, size_t offset, uint16_t value) {
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void PutI32(ProfileBytes& bytes, size_t offset, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

// The text and zeros up to the field's end; the caller has checked that it fits.
void PutText(ProfileBytes& bytes, size_t offset, size_t width, const std::string& text) {
    std::memset(bytes.data() + offset, 0, width);
    std::memcpy(bytes.data() + offset, text.data(), text.size());
}

uint16_t GetU16(const uint8_t* bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

int32_t GetI32(const uint8_t* bytes, size_t offset) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    return static_cast<int32_t>(v);
}

// Up to the first NUL, and never past the field's last byte, which is taken as the terminator.
std::string GetText(const uint8_t* bytes, size_t offset, size_t width) {
    const char* start = reinterpret_cast<const char*>(bytes + offset);
    size_t length = 0;
    while (length + 1 < width && start[length] != '\0')
        ++length;
    return std::string(start, length);
}

// The text without the part that does not fit (NUL included): the baud and parity texts only.
std::string Cut(const std::string& text, size_t width) {
    const std::string visible = text.substr(0, text.find('\0'));
    return visible.substr(0, width - 1);
}

bool Fits(const std::string& text, size_t width) {
    return text.size() < width && text.find('\0') == std::string::npos;
}

}  // namespace

bool EncodeProfile(const SystemProfile& p, ProfileBytes& bytes) {
    if (!Fits(p.fileName, pl::kFileNameWidth) || !Fits(p.host, pl::kHostWidth) ||
        !Fits(p.portName, pl::kPortNameWidth)) {
        return false;
    }
    ProfileBytes out{};
    PutU16(out, pl::kRecordSize, p.recordSize);
    PutText(out, pl::kFileName, pl::kFileNameWidth, p.fileName);
    out[pl::kConnectMode] = p.connectMode;
    PutText(out, pl::kHost, pl::kHostWidth, p.host);
    PutU16(out, pl::kTcpPort, p.tcpPort);
    PutText(out, pl::kPortName, pl::kPortNameWidth, p.portName);
    PutText(out, pl::kBaudText, pl::kBaudTextWidth, Cut(p.baudText, pl::kBaudTextWidth));
    PutText(out, pl::kParityText, pl::kParityTextWidth, Cut(p.parityText, pl::kParityTextWidth));
    PutI32(out, pl::kAscii, p.ascii);
    PutI32(out, pl::kDataBits, p.dataBits);
    PutI32(out, pl::kStopBits, p.stopBits);
    PutI32(out, pl::kDrop, p.drop);
    PutI32(out, pl::kChannel, p.channel);
    PutU16(out, pl::kStatusRegister, p.statusRegister);
    PutU16(out, pl::kRunRegister, p.runRegister);
    PutI32(out, pl::kAutoStart, p.autoStart);
    PutI32(out, pl::kLoadProgram, p.loadProgram);
    PutI32(out, pl::kEraseFlash, p.eraseFlash);
    PutI32(out, pl::kRetries, p.retries);
    PutI32(out, pl::kTimeoutMs, p.timeoutMs);
    PutI32(out, pl::kForceFlash, p.forceFlash);
    bytes = out;
    return true;
}

SystemProfile DecodeProfile(const uint8_t* b) {
    SystemProfile p;
    p.recordSize = GetU16(b, pl::kRecordSize);
    p.fileName = GetText(b, pl::kFileName, pl::kFileNameWidth);
    p.connectMode = b[pl::kConnectMode];
    p.host = GetText(b, pl::kHost, pl::kHostWidth);
    p.tcpPort = GetU16(b, pl::kTcpPort);
    p.portName = GetText(b, pl::kPortName, pl::kPortNameWidth);
    p.baudText = GetText(b, pl::kBaudText, pl::kBaudTextWidth);
    p.parityText = GetText(b, pl::kParityText, pl::kParityTextWidth);
    p.ascii = GetI32(b, pl::kAscii);
    p.dataBits = GetI32(b, pl::kDataBits);
    p.stopBits = GetI32(b, pl::kStopBits);
    p.drop = GetI32(b, pl::kDrop);
    p.channel = GetI32(b, pl::kChannel);
    p.statusRegister = GetU16(b, pl::kStatusRegister);
    p.runRegister = GetU16(b, pl::kRunRegister);
    p.autoStart = GetI32(b, pl::kAutoStart);
    p.loadProgram = GetI32(b, pl::kLoadProgram);
    p.eraseFlash = GetI32(b, pl::kEraseFlash);
    p.retries = GetI32(b, pl::kRetries);
    p.timeoutMs = GetI32(b, pl::kTimeoutMs);
    p.forceFlash = GetI32(b, pl::kForceFlash);
    return p;
}

bool ReadProfileFile(const std::string& path, SystemProfile& profile, std::string* whyNot) {
    const auto refuse = [whyNot](std::string reason) {
        if (whyNot)
            *whyNot = std::move(reason);
        return false;
    };
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return refuse("The file cannot be opened.");
    // One byte more than a record, to see a file that is too long.
    uint8_t buffer[kSystemProfileSize + 1];
    const size_t got = std::fread(buffer, 1, sizeof buffer, file);
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError)
        return refuse("The file cannot be read.");
    if (got > kSystemProfileSize)
        return refuse("It is longer than a system profile, which is 1429 bytes long.");
    if (got < kSystemProfileSize) {
        return refuse("It holds " + std::to_string(got) +
                      " bytes; a system profile is 1429 bytes long.");
    }
    if (const uint16_t size = GetU16(buffer, pl::kRecordSize); size != kSystemProfileSize) {
        return refuse("Its record size is " + std::to_string(size) +
                      ", not 1429: it is not a system profile.");
    }
    profile = DecodeProfile(buffer);
    return true;
}

bool WriteProfileFile(const std::string& path, const SystemProfile& profile) {
    ProfileBytes bytes{};
    if (!EncodeProfile(profile, bytes))
        return false;
    std::string temp;
    std::FILE* file = platform::CreateStagingFile(path, temp);
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || !platform::MoveFileOver(temp, path)) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}
