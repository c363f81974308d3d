// The Windows archive road as text: what PowerShell is given to run, read by PowerShell's own
// rules for single-quoted literals, and the decision on the listed entry names taken before
// anything of an archive is written.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/powershell_text.h"
#include "platform/zip_directory.h"
#include "project_builder.h"
#include "toolshell/fennick/fennick_settings.h"

namespace {

namespace fs = std::filesystem;

// The five characters PowerShell takes for a single quote, as UTF-8.
const char* const quoteCharacters[] = {"'", "\xE2\x80\x98", "\xE2\x80\x99", "\xE2\x80\x9A",
                                       "\xE2\x80\x9B"};

std::size_t quoteAt(const std::string& text, std::size_t at) {
    for (const char* quote : quoteCharacters) {
        if (text.compare(at, std::char_traits<char>::length(quote), quote) == 0) {
            return std::char_traits<char>::length(quote);
        }
    }
    return 0;
}

// Reads a single-quoted literal from `at` as PowerShell does: any quote character ends it
// unless another quote character follows, which stands for the first. The value and where the
// literal ended; none when it does not end.
std::optional<std::pair<std::string, std::size_t>> readLiteral(const std::string& text,
                                                               std::size_t at) {
    const std::size_t open = quoteAt(text, at);
    if (open == 0) {
        return std::nullopt;
    }
    std::string value;
    for (std::size_t i = at + open; i < text.size();) {
        const std::size_t quote = quoteAt(text, i);
        if (quote == 0) {
            value += text[i++];
            continue;
        }
        const std::size_t next = quoteAt(text, i + quote);
        if (next == 0) {
            return std::make_pair(value, i + quote);
        }
        value.append(text, i, quote);
        i += quote + next;
    }
    return std::nullopt;
}

std::vector<std::string> pathsWithEachQuote() {
    std::vector<std::string> paths;
    for (const char* quote : quoteCharacters) {
        paths.push_back(std::string("C:\\Users\\O") + quote + "Brien\\Plant" + quote +
                        "s line\\powershellver.txt");
        // A crafted name that would end the literal and run a statement of its own.
        paths.push_back(std::string("C:\\x") + quote + "; Remove-Item C:\\ -Recurse; " + quote +
                        "\\powershellver.txt");
    }
    return paths;
}

TEST(PowerShellRoad, AQuotedPathReachesTheCmdletAsOneLiteral) {
    for (const std::string& path : pathsWithEachQuote()) {
        SCOPED_TRACE(path);
        const std::string quoted = platform::PowerShellQuote<char>(path);
        const auto literal = readLiteral(quoted, 0);
        ASSERT_TRUE(literal);
        EXPECT_EQ(literal->first, path);
        EXPECT_EQ(literal->second, quoted.size());

        // The version probe, the one script that names a path.
        const std::string command = fennick::powerShellProbeCommand(path);
        const std::string head = "Out-File -LiteralPath ";
        const std::size_t at = command.find(head);
        ASSERT_NE(at, std::string::npos) << command;
        const auto probed = readLiteral(command, at + head.size());
        ASSERT_TRUE(probed) << command;
        EXPECT_EQ(probed->first, path);
        EXPECT_EQ(command.substr(probed->second), "\"");
    }
}

TEST(PowerShellRoad, ArchiveScriptsHoldNoPath) {
    const std::pair<std::string, std::vector<const char*>> scripts[] = {
        {platform::ListArchiveScript<char>(), {"$env:CALVENTO_ARCHIVE", "$env:CALVENTO_LISTING"}},
        {platform::ExpandArchiveScript<char>(),
         {"-LiteralPath $env:CALVENTO_ARCHIVE", "-DestinationPath $env:CALVENTO_FOLDER"}},
        {platform::CompressArchiveScript<char>(),
         {"-LiteralPath $env:CALVENTO_FOLDER", "-DestinationPath $env:CALVENTO_ARCHIVE"}},
    };
    for (const auto& [script, reads] : scripts) {
        SCOPED_TRACE(script);
        for (const char* read : reads) {
            EXPECT_NE(script.find(read), std::string::npos) << read;
        }
        // No literal of any kind: nothing a path holds could end one.
        for (std::size_t i = 0; i < script.size(); ++i) {
            EXPECT_EQ(quoteAt(script, i), 0u) << i;
        }
        EXPECT_EQ(script.find('"'), std::string::npos);
    }
}

// The names as the listing script writes them: the hexadecimal bytes of each, CR LF after each.
std::string listing(const std::vector<std::string>& names) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::string& name : names) {
        for (std::size_t i = 0; i < name.size(); ++i) {
            const auto byte = static_cast<unsigned char>(name[i]);
            if (i > 0) {
                text += '-';
            }
            text += digits[byte >> 4];
            text += digits[byte & 15];
        }
        text += "\r\n";
    }
    return text;
}

TEST(PowerShellRoad, EntryNamesAreCheckedBeforeAnythingIsWritten) {
    const std::vector<std::string> fine = {"unitpro.xef", "Extra/AppData.bin", "DTM\\catalog.xml",
                                           "Plant\xE2\x80\x99s notes.txt"};
    EXPECT_EQ(platform::RefusedListedEntry(listing(fine)), std::nullopt);
    EXPECT_EQ(platform::RefusedListedEntry(""), std::nullopt);

    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"unitpro.xef", "../evil.bat"}, "../evil.bat"},
        {{"a/../../b.txt"}, "a/../../b.txt"},
        {{"..\\..\\Windows\\evil.dll"}, "..\\..\\Windows\\evil.dll"},
        {{"C:\\evil.dll"}, "C:\\evil.dll"},
        {{"/etc/evil"}, "/etc/evil"},
        {{""}, ""},
        // A line break inside a name does not split it into two harmless-looking names.
        {{"ok.txt\n..", "x"}, "ok.txt\n.."},
    };
    for (const auto& [names, first] : refused) {
        SCOPED_TRACE(first);
        const auto decision = platform::RefusedListedEntry(listing(names));
        ASSERT_TRUE(decision);
        EXPECT_EQ(*decision, first);
    }
    // A listing that is not what the script writes refuses the archive too.
    for (const char* broken : {"zz\r\n", "41-4\r\n", "414243\r\n"}) {
        SCOPED_TRACE(broken);
        EXPECT_TRUE(platform::RefusedListedEntry(broken));
    }
}

struct ArchiveShape {
    const char* what;
    std::function<std::string(const std::string& archive)> shape;  // the file's bytes
    platform::ZipDirectoryState state;
};

// A damaged archive is told from a PowerShell that fails: its end says whether it is a ZIP
// archive at all and whether its directory of entries stands where the end says.
TEST(PowerShellRoad, DamagedArchivesAreToldApart) {
    using State = platform::ZipDirectoryState;
    const fs::path folder =
        fs::temp_directory_path() / ("zip-directory-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    ASSERT_TRUE(
        fennick_test::writeArchive(folder / "sound.zef", fennick_test::sampleExtraEntries()));
    std::ifstream in(folder / "sound.zef", std::ios::binary);
    const std::string sound((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t end = sound.rfind("PK\x05\x06");
    ASSERT_NE(end, std::string::npos);
    const auto at = [](std::string bytes, std::size_t where, const std::string& put) {
        bytes.replace(where, put.size(), put);
        return bytes;
    };
    const std::uint32_t directory = static_cast<unsigned char>(sound[end + 16]) |
                                    static_cast<unsigned char>(sound[end + 17]) << 8;
    const std::vector<ArchiveShape> shapes = {
        {"a project archive", [](const std::string& s) { return s; }, State::Sound},
        {"with a comment",
         [&](const std::string& s) {
             return at(s, end + 20, std::string("\x05\x00", 2)) + "notes";
         },
         State::Sound},
        {"with no entries",
         [](const std::string&) { return std::string("PK\x05\x06") + std::string(18, '\0'); },
         State::Sound},
        {"plain text", [](const std::string&) { return std::string("plain text, no archive"); },
         State::NotAnArchive},
        {"empty", [](const std::string&) { return std::string(); }, State::NotAnArchive},
        {"cut short", [&](const std::string& s) { return s.substr(0, end + 10); },
         State::NotAnArchive},
        {"directory overwritten", [&](const std::string& s) { return at(s, directory, "XXXX"); },
         State::DamagedDirectory},
        {"directory said to stand past the end",
         [&](const std::string& s) { return at(s, end + 16, std::string("\xFF\xFF\x00\x00", 4)); },
         State::DamagedDirectory},
    };
    for (const ArchiveShape& shape : shapes) {
        SCOPED_TRACE(shape.what);
        const fs::path file = folder / "shaped.zef";
        std::ofstream(file, std::ios::binary | std::ios::trunc) << shape.shape(sound);
        EXPECT_EQ(platform::CheckZipDirectory(file), shape.state);
    }
    // An archive whose count of entries needs the ZIP64 end record, written by Python's zipfile.
    const fs::path many = folder / "many.zip";
    const std::string python =
        "/usr/bin/python3 -c 'import sys, zipfile\n"
        "with zipfile.ZipFile(sys.argv[1], \"w\") as z:\n"
        "    [z.writestr(str(i), b\"\") for i in range(70000)]' '" +
        many.string() + "'";
    ASSERT_EQ(std::system(python.c_str()), 0);
    EXPECT_EQ(platform::CheckZipDirectory(many), State::Sound);
    EXPECT_EQ(platform::CheckZipDirectory(folder / "missing.zef"), State::Unreadable);
    EXPECT_EQ(platform::ZipDirectoryProblemText(State::DamagedDirectory, "D:\\Line.zef"),
              "Can't open archive D:\\Line.zef: its directory of entries is damaged");
    fs::remove_all(folder);
}

}  // namespace
