#include "downloader/header_checks.h"

#include <gtest/gtest.h>

TEST(HeaderChecksTest, ModuleNameGivesFirmwareDate) {
    const FirmwareIdentity dated = SplitModuleName("KRT-3 15Jun2021");
    EXPECT_EQ(dated.name, "KRT-3");
    EXPECT_EQ(dated.dateText, "15Jun2021");
    EXPECT_EQ(dated.dateValue, 20210515);
    const FirmwareIdentity plain = SplitModuleName("KRT-3");
    EXPECT_EQ(plain.dateText, "Unknown");
    EXPECT_EQ(plain.dateValue, 0);
    // A date cut short by the end of the name is not read past the text.
    EXPECT_FALSE(SplitModuleName("KRT-3 15Jun").dateValue.has_value());
}

TEST(HeaderChecksTest, FirmwareQuestionsAskOnlyOutsideTheRange) {
    const FirmwareIdentity module = SplitModuleName("KRT 15Jun2021");
    EXPECT_FALSE(MinFirmwareQuestion(module, "15Jun2021"));
    EXPECT_FALSE(MinFirmwareQuestion(module, "01Jan2020"));
    EXPECT_EQ(*MinFirmwareQuestion(module, "16Jun2021"),
              "The firmware on this module does\n\rnot meet the minimum requirements for\n\r"
              "revision\n\r\n\rCurrent Firmware: 15Jun2021\n\rSugested Firmware: 16Jun2021\n\r\n\r"
              "Continue?");
    EXPECT_FALSE(MaxFirmwareQuestion(module, "16Jun2021"));
    EXPECT_EQ(*MaxFirmwareQuestion(module, "14Jun2021"),
              "The firmware on this module does\n\rnot meet the maximum requirements for\n\r"
              "revision\n\r\n\rCurrent Firmware: 15Jun2021\n\rSugested Firmware: 14Jun2021\n\r\n\r"
              "Continue?");
    // No blank in the name: date 0 and "Unknown", so any minimum asks.
    EXPECT_TRUE(MinFirmwareQuestion(SplitModuleName("KRT"), "01Jan1990"));
    // Unreadable dates on either side ask rather than guess.
    EXPECT_TRUE(MinFirmwareQuestion(module, "someday"));
    EXPECT_TRUE(MaxFirmwareQuestion(SplitModuleName("KRT 15Jux2021"), "01Jan2030"));
}

TEST(HeaderChecksTest, SerialQuestions) {
    EXPECT_FALSE(MinSerialQuestion(1000, "1000"));
    EXPECT_EQ(
        *MinSerialQuestion(999, "1000"),
        "Your module is below the minimum serial\n\rnumber requirement.\n\r\n\rActual: 999\n\r"
        "Required: 1000\n\r\n\rContinue?");
    EXPECT_FALSE(MaxSerialQuestion(1000, "1000"));
    EXPECT_EQ(
        *MaxSerialQuestion(1001, "1000"),
        "Your module is above the maximum serial\n\rnumber requirement.\n\r\n\rActual: 1001\n\r"
        "Required: 1000\n\r\n\rContinue?");
    const std::string longText(60, '7');
    EXPECT_NE(MinSerialQuestion(1, longText)->find("Required: " + std::string(40, '7') + "\n"),
              std::string::npos);
}

TEST(HeaderChecksTest, ModuleMaskIsCaseSensitive) {
    EXPECT_FALSE(ModuleMaskQuestion("KRT", "ZKRT-3"));
    EXPECT_EQ(*ModuleMaskQuestion("krt", "ZKRT-3"),
              "You are attempting to load this application\n\rinto a unmatched module.\n\r\n\r"
              "Mask: krt\n\rModule: ZKRT-3\n\r\n\rDo you wish to continue?");
}

TEST(HeaderChecksTest, ApplicationNumberOffersOnlyChannelsOneAndTwo) {
    const struct {
        int16_t channel;
        const char* text;
        int16_t suggested;  // 0: no question
    } cases[] = {{1, "0", 0}, {1, "1", 0}, {1, "2", 2}, {2, "1", 1}, {10, "1", 1}, {11, "2", 2},
                 {1, "3", 0}, {2, "9", 0}, {1, "x", 0}, {1, "", 0},  {2, "2x", 0}};
    for (const auto& c : cases) {
        const auto offer = ApplicationNumberQuestion(c.channel, c.text);
        EXPECT_EQ(offer ? offer->suggestedChannel : 0, c.suggested) << c.channel << c.text;
    }
    EXPECT_EQ(ApplicationNumberQuestion(10, "1")->question,
              "You are attempting to load this application\n\rinto the wrong application space\n\r"
              "\n\rApplication: 10\n\rSugested: 1\n\r\n\rDo you wish to change it to the sugested "
              "location?");
}

TEST(HeaderChecksTest, RevisionQuestions) {
    const RevisionText loading = SplitRevision("Pump Control 10Mar2022   ");
    EXPECT_EQ(loading.name, "Pump Control");
    EXPECT_EQ(loading.dateText, "10Mar2022");
    EXPECT_FALSE(RevisionQuestion(SplitRevision("PUMP CONTROL 09Mar2022"), loading));
    EXPECT_FALSE(RevisionQuestion(SplitRevision("pump control 10Mar2022"), loading));
    EXPECT_EQ(*RevisionQuestion(SplitRevision("Pump Control 11Mar2022"), loading),
              "You are attempting to load this application\n\rthat is older than the current "
              "loaded revision.\n\r\n\rLoading: 10Mar2022\n\rCurrent: 11Mar2022\n\r\n\r"
              "Do you wish to continue?");
    EXPECT_EQ(*RevisionQuestion(SplitRevision("Mixer 01Jan2020"), loading),
              "You are attempting to load this application\n\rthat is different that the one "
              "currently loaded\n\r\n\rCurrent: Mixer\n\rLoading: Pump Control\n\r\n\r"
              "Do you wish to continue?");
    EXPECT_EQ(SplitRevision(" Lone").name, " Lone");  // a leading blank does not split
}

TEST(HeaderChecksTest, DecimalValues) {
    EXPECT_EQ(DecimalValue("  123abc"), 123);
    EXPECT_EQ(DecimalValue("-5"), -5);
    EXPECT_EQ(DecimalValue("x"), 0);
    EXPECT_EQ(DecimalValue("99999999999999"), INT32_MAX);
}
