#pragma once

// Command texts for Windows PowerShell. The archive road puts no path into its scripts: each
// path reaches the child process as an environment variable and the cmdlets read it with
// -LiteralPath $env:..., so no character of a path (quotes of any kind, "$", "`", wildcards)
// can end a literal or run as a statement. Where a path must stand in a script, it stands as
// a single-quoted literal with every character PowerShell takes for a single quote doubled.

#include <optional>
#include <string>
#include <string_view>

#include "platform/archive.h"

namespace platform {

namespace detail {

// PowerShell ends a single-quoted literal at ' and at the typographic U+2018 to U+201B.
inline bool IsPowerShellQuote(wchar_t c) {
    return c == L'\'' || (c >= 0x2018 && c <= 0x201B);
}

}  // namespace detail

// `Char` is char (UTF-8, where the typographic quotes are E2 80 98 to E2 80 9B) or wchar_t.
template <class Char>
std::basic_string<Char> PowerShellQuote(std::basic_string_view<Char> text) {
    std::basic_string<Char> quoted(1, Char('\''));
    for (std::size_t i = 0; i < text.size(); ++i) {
        quoted += text[i];
        if constexpr (sizeof(Char) == 1) {
            const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
            if (text[i] == '\'') {
                quoted += text[i];
            } else if (byte(i) == 0xE2 && i + 2 < text.size() && byte(i + 1) == 0x80 &&
                       byte(i + 2) >= 0x98 && byte(i + 2) <= 0x9B) {
                quoted += text[i + 1];
                quoted += text[i + 2];
                quoted.append(text.substr(i, 3));
                i += 2;
            }
        } else if (detail::IsPowerShellQuote(static_cast<wchar_t>(text[i]))) {
            quoted += text[i];
        }
    }
    quoted += Char('\'');
    return quoted;
}

template <class Char>
std::basic_string<Char> Widen(std::string_view ascii) {
    return std::basic_string<Char>(ascii.begin(), ascii.end());
}

// The environment variables through which the archive road hands its paths to PowerShell.
inline constexpr const char* kArchiveVariable = "CALVENTO_ARCHIVE";  // the .zip read or written
inline constexpr const char* kFolderVariable = "CALVENTO_FOLDER";  // the folder unpacked or packed
inline constexpr const char* kListingVariable = "CALVENTO_LISTING";  // where the names are listed

// Lists the archive's entry names into the listing file, one line per entry, each name as the
// hexadecimal bytes of its UTF-8 text ("41-2F-42" for "A/B"): a name holding a line break or
// any other character stays one line and reads back exactly.
template <class Char>
std::basic_string<Char> ListArchiveScript() {
    return Widen<Char>(
        "Add-Type -AssemblyName System.IO.Compression.FileSystem; "
        "$zip = [IO.Compression.ZipFile]::OpenRead($env:CALVENTO_ARCHIVE); "
        "try { $zip.Entries | ForEach-Object { "
        "[BitConverter]::ToString([Text.Encoding]::UTF8.GetBytes($_.FullName)) } | "
        "Set-Content -LiteralPath $env:CALVENTO_LISTING -Encoding ASCII } "
        "finally { $zip.Dispose() }");
}

// The listing step's decision: the first entry name (as UTF-8) that would not stay inside the
// folder or holds a control character, or a line that is not a listed name; none when every
// entry may be written.
inline std::optional<std::string> RefusedListedEntry(std::string_view listing) {
    const auto hexValue = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    std::size_t start = 0;
    while (start < listing.size()) {
        std::size_t end = listing.find('\n', start);
        if (end == std::string_view::npos)
            end = listing.size();
        std::string_view line = listing.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::string name;
        bool listed = line.size() % 3 == 2 || line.empty();
        for (std::size_t i = 0; listed && i + 1 < line.size(); i += 3) {
            const int high = hexValue(line[i]);
            const int low = hexValue(line[i + 1]);
            listed = high >= 0 && low >= 0 && (i + 2 == line.size() || line[i + 2] == '-');
            name += static_cast<char>(high * 16 + low);
        }
        if (!listed)
            return std::string(line);
        // A control character Windows cannot write either; refused with the rest, up front.
        bool control = false;
        for (unsigned char c : name)
            control = control || c < 0x20;
        if (!IsSafeEntryName(name) || control)
            return name;
    }
    return std::nullopt;
}

// Expands the archive into the folder; run only once the listing has been accepted.
template <class Char>
std::basic_string<Char> ExpandArchiveScript() {
    return Widen<Char>(
        "Expand-Archive -Force -LiteralPath $env:CALVENTO_ARCHIVE -DestinationPath "
        "$env:CALVENTO_FOLDER");
}

// Compresses the folder's content (its children, so the archive's root is the folder).
template <class Char>
std::basic_string<Char> CompressArchiveScript() {
    return Widen<Char>(
        "Compress-Archive -CompressionLevel Fastest -LiteralPath "
        "(Get-ChildItem -Force -LiteralPath $env:CALVENTO_FOLDER | ForEach-Object { $_.FullName }) "
        "-DestinationPath $env:CALVENTO_ARCHIVE");
}

// The whole command line that runs a script: no profile, no prompts, errors end it with a
// non-zero exit code.
template <class Char>
std::basic_string<Char> PowerShellCommandLine(std::basic_string_view<Char> script) {
    return Widen<Char>(
               "powershell.exe -NoProfile -NonInteractive -Command \"$ErrorActionPreference = "
               "'Stop'; ") +
           std::basic_string<Char>(script) + Widen<Char>("\"");
}

}  // namespace platform
