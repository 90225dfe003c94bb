#include "cli/arguments.h"
#include "cli/commands.h"
#include "platform/posix_file_system.h"
#include "storage/month_file.h"
#include "support/fakes/fake_clock.h"
#include "support/fakes/fake_notifier.h"
#include "support/fakes/faulty_file_system.h"
#include "support/month_bytes.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;
using testing_support::monthFileBytes;

namespace {

// The settings file of the 1-hour plan: the mark, "1 h / dygn" at 30 and 3600 (0x0E10) at 60.
Bytes settingsOf(const char* plan, std::uint8_t low, std::uint8_t high) {
    Bytes bytes(62, 0);
    bytes[0] = bytes[1] = 0xFF;
    std::copy(plan, plan + 10, bytes.begin() + 30);
    bytes[60] = low;
    bytes[61] = high;
    return bytes;
}

// 2001-12-05: 4260 s, 660 extra, 190 öre (0x433E0000), over the allowance.
const Bytes kDay5{0x00, 0x00, 0x3E, 0x43, 0xA4, 0x10, 0, 0, 0x94, 0x02, 0, 0, 5, 0, 0xFF, 0xFF};
// 2001-12-12: 1800 s within the hour.
const Bytes kDay12{0, 0, 0, 0, 0x08, 0x07, 0, 0, 0, 0, 0, 0, 12, 0, 0, 0};

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override { m_dir.write("tid.it", settingsOf("1 h / dygn", 0x10, 0x0E)); }

    cli::CommandOutput run(std::vector<std::string> arguments) {
        const cli::ParsedCommand parsed = cli::parseArguments(arguments);
        if (!parsed.command) {
            return parsed.output;
        }
        return cli::runCommand(*parsed.command, m_files, m_clock, m_settings, {}, &m_notifier);
    }
    void handMadeDecember() { m_dir.write("0112.tid", monthFileBytes({{5, kDay5}, {12, kDay12}})); }

    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_files{m_dir.path()};
    platform::fakes::FakeClock m_clock{core::Date{2001, 12, 5}, 12 * 3600};
    platform::fakes::FakeNotifier m_notifier;
    core::ProgramSettings m_settings;
};

} // namespace

TEST_F(CommandLineTest, RangesTheWindowRefusesAreRefusedWithItsTextsAndChangeNoFile) {
    EXPECT_EQ(
        run({"summa", "2001-12-31", "2001-12-01"}),
        (cli::CommandOutput{1, "", "surfklocka: \"FRÅN\" måste vara tidigare än \"TILL\".\n"}));
    EXPECT_EQ(run({"summa", "2001-01-01", "2002-01-02"}).err,
              "surfklocka: Det går inte att summera längre\ntid än 12 månader.\n");
    EXPECT_EQ(run({"exportera", "2001-01-01", "2002-01-02"}).exitCode, 1);
    EXPECT_EQ(m_dir.names(), std::vector<std::string>{"tid.it"});
}

TEST_F(CommandLineTest, BookingWritesTheBytesOfTheWindowsWorkedExample) {
    EXPECT_EQ(run({"boka", "--datum", "2001-12-05", "0:50:00"}).exitCode, 0);
    EXPECT_EQ(run({"boka", "20m"}).exitCode, 0); // today, from the clock
    const cli::CommandOutput last = run({"boka", "1m"});
    EXPECT_EQ(last.exitCode, 0);
    EXPECT_EQ(last.err, "");
    EXPECT_EQ(last.out, "Bokfört 2001-12-05: 1 m\n"
                        "Ansluten tid: 1 h 11 m\n"
                        "Använd extra tid: 11 m\n"
                        "Kostnad: 1,90 kr\n"
                        "December 2001\n"
                        "Ansluten tid: 1 h 11 m\n"
                        "Extra månadstid: 11 m\n"
                        "Extra månadskostnad: 1,90 kr\n"
                        "Total månadskostnad: 146,90 kr\n");
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{5, kDay5}}));

    // Past 24 hours, or without a plan: refused, with no file changed.
    const Bytes before = m_dir.read("0112.tid"), copy = m_dir.read("0112.tmp");
    const cli::CommandOutput full = run({"boka", "23:00:00"});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_NE(full.err.find("Du kan inte mata in mer tid än 24 timmar per dygn"),
              std::string::npos);
    m_dir.write("tid.it", {0xFF, 0xFF});
    EXPECT_EQ(run({"boka", "--datum", "2001-12-06", "10s"}).exitCode, 1);
    EXPECT_EQ(m_dir.read("0112.tid"), before);
    EXPECT_EQ(m_dir.read("0112.tmp"), copy);
}

TEST_F(CommandLineTest, AConnectionEndingAfterMidnightIsSplitBetweenItsDays) {
    m_clock.set(core::Date{2001, 12, 6}, 3600); // 01:00
    const cli::CommandOutput output = run({"boka", "--anslutning", "10800"});
    EXPECT_EQ(output.exitCode, 0) << output.err;
    EXPECT_EQ(output.out.find("Bokfört 2001-12-05: 2 h\n"), 0U);
    EXPECT_NE(output.out.find("Bokfört 2001-12-06: 1 h\n"), std::string::npos);
    // Day 5: 7200 s (0x1C20), 3600 extra (0x0E10), 40 + 60 × 10 = 640 öre (0x44200000), over.
    // Day 6: 3600 s, exactly the allowance: no extra time.
    EXPECT_EQ(m_dir.read("0112.tid"),
              monthFileBytes(
                  {{5, {0, 0, 0x20, 0x44, 0x20, 0x1C, 0, 0, 0x10, 0x0E, 0, 0, 5, 0, 0xFF, 0xFF}},
                   {6, {0, 0, 0, 0, 0x10, 0x0E, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0}}}));

    // A part that would pass 24 hours on its day refuses the whole connection.
    const Bytes before = m_dir.read("0112.tid"), copy = m_dir.read("0112.tmp");
    m_clock.set(core::Date{2001, 12, 7}, 600);
    EXPECT_EQ(run({"boka", "--anslutning", "83401"}).exitCode, 1); // 3600 + 82801 on the 6th
    EXPECT_EQ(m_dir.read("0112.tid"), before);
    EXPECT_EQ(m_dir.read("0112.tmp"), copy);
    // Exactly 24 hours on the 6th is still allowed.
    EXPECT_EQ(run({"boka", "--anslutning", "83400"}).exitCode, 0);

    // Across two midnights, ending at 00:10 on the 9th: 600 s on the 9th, the whole 8th, and
    // 90600 − 600 − 86400 = 3600 s on the 7th, each on its own day (the 7th held 600 s).
    m_clock.set(core::Date{2001, 12, 9}, 600);
    const cli::CommandOutput nights = run({"boka", "--anslutning", "90600"});
    EXPECT_EQ(nights.exitCode, 0) << nights.err;
    EXPECT_EQ(nights.out.find("Bokfört 2001-12-07: 1 h\n"), 0U);
    EXPECT_NE(nights.out.find("Bokfört 2001-12-08: 24 h\n"), std::string::npos);
    EXPECT_NE(nights.out.find("Bokfört 2001-12-09: 10 m\n"), std::string::npos);
    const auto december = storage::decodeMonth(m_dir.read("0112.tid"));
    EXPECT_EQ(december[6].connectedSeconds, 4200);
    EXPECT_EQ(december[7].connectedSeconds, 86400);
    EXPECT_EQ(december[8].connectedSeconds, 600);
}

TEST_F(CommandLineTest, VisaAndSummaShowTheWindowsTextsAndLeaveAnEmptyMonthFile) {
    handMadeDecember();
    m_dir.write("0111.tid", {});
    const cli::CommandOutput shown = run({"visa", "2001-12"});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_EQ(shown.out, "December 2001\n"
                         "\n"
                         "Datum       Ansluten tid    Extra tid       Kostnad\n"
                         "2001-12-05  1 h 11 m        11 m            1,90 kr\n"
                         "2001-12-12  30 m            -               0,00 kr\n"
                         "\n"
                         "Ansluten tid: 1 h 41 m\n"
                         "Extra månadstid: 11 m\n"
                         "Extra månadskostnad 1,90 kr\n"
                         "Total månadskostnad: 146,90 kr\n"
                         "\n"
                         // The clock's month, on its 5th day: the 12th plays no part yet.
                         // 4260 × 31 / 5 = 26412 s; 660 × 31 / 5 = 4092 s; 190 öre × 31 / 5 =
                         // 1178 öre, 11,78 + 145. The 2 h plan would cost 245 kr, the 8 h 595.
                         "Prognos för december 2001 i samma takt som dag 1–5:\n"
                         "Ansluten tid: 7 h 20 m 12 s\n"
                         "Extra tid: 1 h 8 m 12 s\n"
                         "Total månadskostnad: 156,78 kr\n"
                         "Billigast i den takten: 1 h / dygn (156,78 kr)\n");
    EXPECT_EQ(run({"visa"}).out, shown.out); // the clock's month
    EXPECT_EQ(run({"visa", "2001-11"}).out, "Ingen tid är bokförd i november 2001.\n");

    // One month boundary: the fee once, 145 + 1,90.
    const cli::CommandOutput sum = run({"summa", "2001-11-15", "2001-12-31"});
    EXPECT_EQ(sum.exitCode, 0);
    EXPECT_EQ(sum.out, "Ansluten tid: 1 h 41 m\n"
                       "Extra tid: 11 m\n"
                       "Extra kostnad: 1,90 kr\n"
                       "Total kosttnad: 146,90 kr\n"
                       "(Fasta kostnaden uppräknas varje hel månad.)\n"
                       // Every fee shared out: 16 / 30 of November and all December. 1 h: 190 +
                       // 14500 × 16 / 30 = 7733,33 + 14500: 22423,33. Neither day passes 2 h:
                       // 24500 × 46 / 30 = 37566,67 and 59500 × 46 / 30 = 91233,33 alone.
                       "Jämförelse, avgiften räknad per dag:\n"
                       "1 h / dygn: 224,23 kr (billigast)\n"
                       "2 h / dygn: 375,67 kr (uppskattat)\n"
                       "8 h / dygn: 912,33 kr (uppskattat)\n");
    EXPECT_EQ(run({"summa", "2001-12-06", "2001-12-12"}).out.find("Ansluten tid: 30 m\n"), 0U);
    // Without TILL up to today, the 5th: 4260 s. Without dates the clock's month: 4260 + 1800 s.
    EXPECT_EQ(run({"summa", "2001-12-01"}).out.find("Ansluten tid: 1 h 11 m\n"), 0U);
    EXPECT_EQ(run({"summa"}).out.find("Ansluten tid: 1 h 41 m\n"), 0U);
    EXPECT_TRUE(m_dir.exists("0111.tid"));
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0111.tid", "0112.tid", "tid.it"}));
}

TEST_F(CommandLineTest, ExportWritesEveryBookedDayAsCsvForScriptsOrSpreadsheetsAndJson) {
    handMadeDecember();
    EXPECT_EQ(run({"exportera"}).out,
              "datum,ansluten_sekunder,extra_sekunder,kostnad_ore,kostnad_kr,abonnemang\r\n"
              "2001-12-05,4260,660,190,1.90,1 h / dygn\r\n"
              "2001-12-12,1800,0,0,0.00,1 h / dygn\r\n");
    // For a spreadsheet: the byte-order mark EF BB BF, semicolons and decimal commas.
    EXPECT_EQ(run({"exportera", "--format", "kalkyl"}).out,
              "\xEF\xBB\xBF"
              "datum;ansluten_sekunder;extra_sekunder;kostnad_ore;kostnad_kr;abonnemang\r\n"
              "2001-12-05;4260;660;190;1,90;1 h / dygn\r\n"
              "2001-12-12;1800;0;0;0,00;1 h / dygn\r\n");
    EXPECT_EQ(run({"exportera", "--format", "json", "2001-12-06", "2001-12-31"}).out,
              "[\n  {\"datum\": \"2001-12-12\", \"ansluten_sekunder\": 1800, \"extra_sekunder\": "
              "0, \"kostnad_ore\": 0, \"kostnad_kr\": 0.00, \"abonnemang\": \"1 h / dygn\"}\n]\n");
    EXPECT_EQ(run({"exportera", "--format", "json", "2001-11-01", "2001-11-30"}).out, "[]\n");
}

TEST_F(CommandLineTest, ExportRoundsTheOreHalfUpAndQuotesThePlanText) {
    m_dir.write("tid.it", settingsOf("x,\"y\"     ", 0x10, 0x0E));
    // 2002-01-02: 3700 s, 100 extra, 40.5 öre (0x42220000).
    m_dir.write("0201.tid",
                monthFileBytes(
                    {{2, {0, 0, 0x22, 0x42, 0x74, 0x0E, 0, 0, 100, 0, 0, 0, 2, 0, 0xFF, 0xFF}}}));
    m_clock.set(core::Date{2002, 1, 20});
    EXPECT_EQ(run({"exportera", "2002-01-01"}).out,
              "datum,ansluten_sekunder,extra_sekunder,kostnad_ore,kostnad_kr,abonnemang\r\n"
              "2002-01-02,3700,100,41,0.41,\"x,\"\"y\"\"\"\r\n");
    EXPECT_EQ(run({"exportera", "--format", "kalkyl", "2002-01-01"}).out,
              "\xEF\xBB\xBF"
              "datum;ansluten_sekunder;extra_sekunder;kostnad_ore;kostnad_kr;abonnemang\r\n"
              "2002-01-02;3700;100;41;0,41;\"x,\"\"y\"\"\"\r\n");
    // A separator in a field is quoted where it separates: the semicolon in a spreadsheet's file.
    m_dir.write("tid.it", settingsOf("a;b       ", 0x10, 0x0E));
    EXPECT_NE(run({"exportera", "2002-01-01"}).out.find(",0.41,a;b\r\n"), std::string::npos);
    EXPECT_NE(run({"exportera", "--format", "kalkyl", "2002-01-01"}).out.find(";0,41;\"a;b\"\r\n"),
              std::string::npos);
    m_dir.write("tid.it", settingsOf("x,\"y\"     ", 0x10, 0x0E));
    EXPECT_NE(
        run({"exportera", "--format", "json", "2002-01-01"})
            .out.find(
                "\"kostnad_ore\": 41, \"kostnad_kr\": 0.41, \"abonnemang\": \"x,\\\"y\\\"\"}"),
        std::string::npos);
}

TEST_F(CommandLineTest, AviseringTellsAndStoresTheNoticeSettingInItsOwnFile) {
    EXPECT_EQ(run({"avisering"}).out, "Avisering innan extra tid börjar: på.\n");
    EXPECT_FALSE(m_dir.exists("avisering.it")); // telling writes nothing
    EXPECT_EQ(run({"avisering", "av"}).out, "Avisering innan extra tid börjar: av.\n");
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{0x00, 0x00}));
    EXPECT_EQ(run({"avisering"}).out, "Avisering innan extra tid börjar: av.\n");
    EXPECT_EQ(run({"avisering", "pa"}).exitCode, 0);
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{0xFF, 0xFF}));
    // A damaged file is never written over.
    m_dir.write("avisering.it", {1, 2, 3});
    const cli::CommandOutput damaged = run({"avisering", "av"});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_NE(damaged.err.find("avisering.it är skadad"), std::string::npos);
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{1, 2, 3}));
    EXPECT_TRUE(m_notifier.notices().empty());
}

TEST_F(CommandLineTest, ABookingThatStartsExtraTimeIsToldUnlessNoticesAreOff) {
    // 50 minutes leave 10 of the hour: not yet under ten.
    EXPECT_EQ(run({"boka", "50m"}).exitCode, 0);
    EXPECT_TRUE(m_notifier.notices().empty());
    EXPECT_EQ(run({"boka", "1s"}).exitCode, 0); // 9 m 59 s left
    ASSERT_EQ(m_notifier.notices().size(), 1U);
    EXPECT_EQ(m_notifier.notices()[0].title, "Snart slut på dagens förbetalda tid");
    // A connection ending at 00:30 on the 6th: 30 minutes on the 6th and 40 on the 5th, which
    // passes the hour there by 30 m 1 s (3001 + 2400 = 5401 s); the 6th keeps 30 m of its hour.
    m_clock.set(core::Date{2001, 12, 6}, 1800);
    EXPECT_EQ(run({"boka", "--anslutning", "4200"}).exitCode, 0);
    ASSERT_EQ(m_notifier.notices().size(), 2U);
    EXPECT_EQ(m_notifier.notices()[1].title, "Extra tid har börjat");
    EXPECT_NE(m_notifier.notices()[1].body.find("Extra tid hittills: 30 m 1 s."),
              std::string::npos);
    EXPECT_EQ(run({"avisering", "av"}).exitCode, 0);
    EXPECT_EQ(run({"boka", "--datum", "2001-12-07", "2:00:00"}).exitCode, 0);
    EXPECT_EQ(m_notifier.notices().size(), 2U);
}

// What cannot be booked or shown is told with its real cause, once, and changes no file.
TEST_F(CommandLineTest, AFailureNamesItsFileAndTheSystemsCause) {
    handMadeDecember();
    const Bytes month = m_dir.read("0112.tid");
    struct Case {
        std::vector<std::string> arguments;
        std::string failingCall; // the first call of the file layer that fails
        int error;
        std::string err;
    };
    const std::string notSaved = "surfklocka: Tiden kunde inte sparas, eftersom filen 0112.tid ";
    const std::string nothing = "\nIngen tid har bokförts.\n";
    const std::vector<Case> cases{
        {{"boka", "1:00"},
         "readFile 0112.tid",
         EACCES,
         notSaved + "inte gick att läsa: behörighet saknas." + nothing},
        {{"boka", "1:00"},
         "replaceFile:deferred 0112.tid",
         ENOSPC,
         notSaved + "inte gick att skriva: disken är full." + nothing},
        {{"boka", "1:00"},
         "replaceFile:deferred 0112.tid",
         EROFS,
         notSaved + "inte gick att skriva: filsystemet är skrivskyddat." + nothing},
        {{"boka", "1:00"},
         "syncFolder .",
         EIO,
         notSaved + "inte gick att skriva: läs- eller skrivfel på disken." + nothing},
        {{"visa", "2001-12"},
         "readFile 0112.tid",
         EACCES,
         "surfklocka: Månaden kan inte visas, eftersom filen 0112.tid inte gick att läsa: "
         "behörighet saknas.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failingCall);
        const cli::ParsedCommand parsed = cli::parseArguments(c.arguments);
        ASSERT_TRUE(parsed.command);
        // Which call that is, from a run on a copy of the folder.
        testing_support::TempDir copy;
        copy.write("tid.it", m_dir.read("tid.it"));
        copy.write("0112.tid", month);
        platform::PosixFileSystem copyFiles(copy.path());
        platform::fakes::FaultyFileSystem probe(copyFiles);
        cli::runCommand(*parsed.command, probe, m_clock, m_settings);
        const auto at = std::find(probe.log().begin(), probe.log().end(), c.failingCall);
        ASSERT_NE(at, probe.log().end());

        platform::fakes::FaultyFileSystem faulty(m_files);
        faulty.failWith(c.error);
        faulty.failAt(static_cast<int>(at - probe.log().begin()) + 1,
                      platform::fakes::FaultyFileSystem::Mode::Once);
        const cli::CommandOutput output =
            cli::runCommand(*parsed.command, faulty, m_clock, m_settings);
        EXPECT_EQ(output.exitCode, 1);
        EXPECT_EQ(output.out, "");
        EXPECT_EQ(output.err, c.err);
        EXPECT_EQ(m_dir.read("0112.tid"), month);
        EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0112.tid", "tid.it"}));
    }
    // Without a settings file, or with a month too long to be one, the same two lines.
    m_dir.write("0112.tid", Bytes(16 * 31 + 1, 0));
    EXPECT_EQ(run({"boka", "1:00"}).err, notSaved + "är skadad." + nothing);
    std::filesystem::remove(m_dir.file("tid.it"));
    EXPECT_EQ(run({"boka", "1:00"}).err,
              "surfklocka: Tiden kan inte sparas, eftersom abonnemanget inte är känt: filen tid.it "
              "finns inte." +
                  nothing);
}

// A change of plan from next month: December keeps 1 h, January is booked and priced with 8 h.
TEST_F(CommandLineTest, AbonnemangChangesThePlanFromAMonthOnAndEveryMonthKeepsItsOwn) {
    handMadeDecember();
    EXPECT_EQ(run({"abonnemang"}).out,
              "Abonnemang nu: 1 h / dygn\nSamma abonnemang gäller för alla månader.\n");
    EXPECT_EQ(run({"abonnemang", "8", "--fran", "2001-11"}).exitCode, 1); // a month gone by
    EXPECT_EQ(run({"abonnemang", "3"}).exitCode, 2);
    EXPECT_EQ(run({"abonnemang", "8", "--fran", "2002-01"}).out,
              "Från 2002-01-01 gäller 8 h / dygn. Tidigare månader behåller sitt abonnemang.\n");
    EXPECT_EQ(m_dir.read("abonnemang.it"),
              Bytes({'2', '0', '0', '1', '-', '0', '1', ' ', '3', '6', '0', '0', '\n', '2',
                     '0', '0', '2', '-', '0', '1', ' ', '2', '8', '8', '0', '0', '\n'}));
    EXPECT_EQ(run({"abonnemang"}).out,
              "Abonnemang nu: 1 h / dygn\nFrån 2001-01: 1 h / dygn\nFrån 2002-01: 8 h / dygn\n");
    // 2 h on 3 January are within 8 h; the month's fee is 595 kr.
    const cli::CommandOutput january = run({"boka", "--datum", "2002-01-03", "2:00"});
    EXPECT_NE(january.out.find("Tid kvar: 6 h\n"), std::string::npos) << january.out;
    EXPECT_NE(january.out.find("Total månadskostnad: 595,00 kr\n"), std::string::npos);
    // December keeps its bytes and its 145 kr; the range pays January's fee at the boundary:
    // 1,90 kr extra + 595 kr.
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{5, kDay5}, {12, kDay12}}));
    EXPECT_NE(run({"visa", "2001-12"}).out.find("Total månadskostnad: 146,90 kr\n"),
              std::string::npos);
    EXPECT_EQ(run({"summa", "2001-12-01", "2002-01-31"})
                  .out.find("Ansluten tid: 3 h 41 m\nExtra tid: 11 m\nExtra kostnad: 1,90 kr\n"
                            "Total kosttnad: 596,90 kr\n"),
              0U);
}
