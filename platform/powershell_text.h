#pragma once

// Command texts for Windows PowerShell. A path goes into a script as a single-quoted literal
// (nothing inside expands: "$", "`" and blanks are plain characters) with each single quote
// doubled, and reaches the cmdlets through -LiteralPath, so wildcard characters stay plain too.

#include <string>
#include <string_view>

namespace platform {

template <class Char>
std::basic_string<Char> PowerShellQuote(std::basic_string_view<Char> text) {
    std::basic_string<Char> quoted(1, Char('\''));
    for (Char c : text) {
        quoted += c;
        if (c == Char('\''))
            quoted += c;
    }
    quoted += Char('\'');
    return quoted;
}

// The scripts of the archive road; `Char` is char in tests, wchar_t on Windows.
template <class Char>
std::basic_string<Char> Widen(std::string_view ascii) {
    return std::basic_string<Char>(ascii.begin(), ascii.end());
}

template <class Char>
std::basic_string<Char> ExpandArchiveScript(std::basic_string_view<Char> zip,
                                            std::basic_string_view<Char> folder) {
    return Widen<Char>("Expand-Archive -Force -LiteralPath ") + PowerShellQuote(zip) +
           Widen<Char>(" -DestinationPath ") + PowerShellQuote(folder);
}

// Compresses the folder's content (its children, so the archive's root is the folder).
template <class Char>
std::basic_string<Char> CompressArchiveScript(std::basic_string_view<Char> folder,
                                              std::basic_string_view<Char> zip) {
    return Widen<Char>(
               "Compress-Archive -CompressionLevel Fastest -LiteralPath "
               "(Get-ChildItem -Force -LiteralPath ") +
           PowerShellQuote(folder) +
           Widen<Char>(" | ForEach-Object { $_.FullName }) -DestinationPath ") +
           PowerShellQuote(zip);
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
