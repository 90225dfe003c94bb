// The command line: its arguments, and its commands on real temporary folders.

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
#include <sstream>

using Bytes = std::vector<std::uint8_t>;
using cli::Command;
using enum cli::CommandKind;
using presenter::ExportFormat;
using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;

namespace {

const std::string kPointer = "Försök med \"surfklocka --help\" för mer information.\n";
const core::Date kDay{2001, 12, 5};

// The arguments of a command line, split at its blanks.
cli::ParsedCommand parse(const std::string& line) {
    std::vector<std::string> arguments;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        arguments.push_back(word);
    }
    return cli::parseArguments(arguments);
}

bool has(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

Command book(std::int64_t seconds, std::optional<core::Date> date = std::nullopt) {
    return {.kind = Book, .date = date, .seconds = seconds};
}

// The settings file of a 1-hour plan: the mark, the plan's ten characters at 30 and 3600
// (0x0E10) at 60.
Bytes settingsOf(const std::string& plan) {
    const std::string bytes = "\xFF\xFF" + std::string(28, '\0') + plan + std::string(20, '\0');
    Bytes settings(bytes.begin(), bytes.end());
    settings.insert(settings.end(), {0x10, 0x0E});
    return settings;
}

// 2001-12-05: 4260 s, 660 extra, 40 + 11 × 10 = 190 öre. 2001-12-12: 1800 s within the hour.
const Bytes kDay5 = dayRecordBytes(4260, 660, 190.0f, 5);
const Bytes kDay12 = dayRecordBytes(1800, 0, 0.0f, 12);

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override { m_dir.write("tid.it", settingsOf("1 h / dygn")); }

    // Runs the command line on the folder.
    cli::CommandOutput run(const std::string& line) {
        const cli::ParsedCommand parsed = parse(line);
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

TEST(Arguments, AreReadAsGnuProgramsReadThemWithTimesWrittenHoursFirst) {
    const std::vector<std::pair<std::string, Command>> cases{
        {"boka 1:30", book(5400)},      // 1 × 3600 + 30 × 60
        {"boka 01:30:15", book(5415)},  // 3600 + 1800 + 15
        {"boka 24:00:00", book(86400)}, // a whole day, the most a day holds
        {"boka 1h 5m 18s", book(3918)}, // 3600 + 300 + 18
        {"boka 1 h 30 m", book(5400)},  // blanks between the number and its unit
        {"boka 2H", book(7200)},
        {"boka --datum=2001-12-05 1:30", book(5400, kDay)},
        {"boka 1:30 --datum 2001-12-05", book(5400, kDay)}, // options after operands
        {"boka --dat 2001-12-05 1:30", book(5400, kDay)},   // a beginning of a name
        {"boka --ansl=2678400", {.kind = BookConnection, .seconds = 2678400}}, // 31 × 86400
        {"--help", {.kind = Help}},
        {"-h", {.kind = Help}},
        {"boka 1:30 --help", {.kind = Help}},
        {"visa --vers", {.kind = Version}},
        {"visa 2001-12", {.kind = Show, .date = core::Date{2001, 12, 1}}},
        {"summa 2001-12-05", {.kind = Sum, .date = kDay}},
        {"exportera --format kalkyl", {.kind = Export, .format = ExportFormat::Spreadsheet}},
        {"exportera --format csv", {.kind = Export, .format = ExportFormat::Csv}},
        {"exportera 2001-12-05 --format=json 2001-12-05",
         {.kind = Export, .date = kDay, .to = kDay, .format = ExportFormat::Json}},
        {"avisering på", {.kind = Notices, .noticesOn = true}},
        {"avisering pa", {.kind = Notices, .noticesOn = true}},
        {"avisering av", {.kind = Notices, .noticesOn = false}},
        {"abonnemang 2 --fran 2002-01",
         {.kind = Plans, .date = core::Date{2002, 1, 1}, .plan = 7200}},
    };
    for (const auto& [line, command] : cases) {
        const cli::ParsedCommand parsed = parse(line);
        ASSERT_TRUE(parsed.command) << line << parsed.output.err;
        EXPECT_EQ(*parsed.command, command) << line;
    }
}

// Wrong use (exit 2) is one line naming the fault and the pointer to --help; a value of the right
// shape that cannot be taken is refused (exit 1) in one line. Both on standard error only.
TEST(Arguments, WrongUseIsOneLineAndAPointerToHelpAndARefusalOneLine) {
    const std::string forms = " Skriv tiden som H:MM, H:MM:SS eller med enheterna h, m och s, till "
                              "exempel 1:30, 1:30:00, 90m eller 1h 30m.";
    const std::string to59 = " är ingen möjlig tid: minuter och sekunder går från 00 till 59.";
    const std::string day = " är för lång tid: högst 24 h går att bokföra.";
    const std::string date = " är inget datum. Skriv datum som ÅÅÅÅ-MM-DD.";
    const std::vector<std::pair<std::string, std::string>> wrongUse{
        {"", "Ange ett kommando."},
        {"frukost", "Okänt kommando: frukost."},
        {"--frukost visa", "Okänt val --frukost."},
        {"--help=ja", "--help tar inget värde."},
        {"boka", "boka saknar tiden att bokföra."},
        {"boka 5400", "\"5400\" saknar enhet." + forms}, // seconds, minutes or hours?
        {"boka 1:5", "\"1:5\" är ingen tid." + forms},   // minutes have two digits
        {"boka 1:30:00:00", "\"1:30:00:00\" är ingen tid." + forms},
        {"boka :30", "\":30\" är ingen tid." + forms},
        {"boka 1:3a", "\"1:3a\" är ingen tid." + forms},
        {"boka 1h30", "\"1h30\" är ingen tid." + forms},   // a number without its unit
        {"boka 30m1h", "\"30m1h\" är ingen tid." + forms}, // units in the order h, m, s
        {"boka 1x", "\"1x\" är ingen tid." + forms},
        {"boka -5m", "\"-5m\": tiden kan inte vara negativ."},
        {"boka -x 1m", "boka känner inte till valet -x."},
        {"boka 1m --datum", "--datum saknar sitt värde."},
        {"boka --datum 2001-12-05 --datum 2001-12-06 1m", "--datum får bara anges en gång."},
        {"boka --datum 1.12.2001 1m", "\"1.12.2001\"" + date},
        {"boka --anslutning 60 1m", "--anslutning tar varken datum eller tid: bara sekunderna."},
        {"boka --anslutning 1:00", "\"1:00\" är inget helt antal sekunder."},
        {"visa 2001-1", "\"2001-1\" är ingen månad. Skriv månaden som ÅÅÅÅ-MM."},
        {"visa 2001-12 2002-01", "visa tar högst en månad."},
        {"summa 2001-01-01 2001-01-02 2001-01-03", "summa tar högst två datum: FRÅN och TILL."},
        {"exportera --format xml", "Formatet \"xml\" finns inte: välj csv, kalkyl eller json."},
        {"exportera -- --format", "\"--format\"" + date}, // "--" ends the options
        {"avisering ja", "\"ja\" är varken på eller av."},
        {"abonnemang 3", "\"3\" är inget abonnemang: ange 1, 2 eller 8 (timmar om dygnet)."},
    };
    const std::vector<std::pair<std::string, std::string>> refused{
        {"boka 24:00:01", "\"24:00:01\"" + day},
        {"boka 1:60", "\"1:60\"" + to59},
        {"boka 0:59:60", "\"0:59:60\"" + to59},
        {"boka 0:00", "Ingen tid att bokföra: \"0:00\" är 0 sekunder."},
        {"boka 9999999999999s", "\"9999999999999s\" är för lång tid."}, // 13 digits
        {"boka --datum 2001-02-29 1m", "2001-02-29 är inget riktigt datum."},
        {"boka --datum 2100-01-01 1m",
         "Datumet 2100-01-01 ligger utanför 2001-01-01 till 2099-12-31."},
        {"boka --anslutning 2678401", "\"2678401\" är för lång tid: högst 744 h går att bokföra."},
        {"boka --anslutning 0", "Ingen tid att bokföra: \"0\" är 0 sekunder."},
        {"visa 2000-12", "2000-12 är ingen månad från januari 2001 till december 2099."},
    };
    for (const auto& [code, cases] : {std::pair{2, wrongUse}, std::pair{1, refused}}) {
        for (const auto& [line, fault] : cases) {
            const cli::ParsedCommand parsed = parse(line);
            EXPECT_FALSE(parsed.command) << line;
            const std::string err = "surfklocka: " + fault + "\n" + (code == 2 ? kPointer : "");
            EXPECT_EQ(parsed.output, (cli::CommandOutput{code, "", err})) << line;
        }
    }
}

TEST_F(CommandLineTest, HelpAndVersionAreToldOnStandardOutput) {
    const cli::CommandOutput help = run("--help"), version = run("--version");
    EXPECT_EQ(help.out.rfind("Användning:\n  surfklocka                  öppnar fönstret\n", 0),
              0U);
    EXPECT_TRUE(help.out.ends_with("  surfklocka --version        visar versionen\n\nSlutstatus: 0 "
                                   "klart, 1 vägrat eller misslyckat, 2 felaktig användning.\n"));
    EXPECT_EQ(version.out.rfind("surfklocka ", 0), 0U);
    EXPECT_TRUE(version.out.ends_with(
        "\nLicens MIT: fri programvara, som du får ändra och sprida. Det finns ingen garanti.\n"));
    EXPECT_EQ(help.exitCode + version.exitCode, 0);
    EXPECT_EQ(help.err + version.err, "");
}

TEST_F(CommandLineTest, BookingTellsTheDayAndTheMonthAndWritesTheDaysRecord) {
    EXPECT_EQ(run("boka --datum 2001-12-05 0:50:00").exitCode, 0);
    EXPECT_EQ(run("boka 20m").exitCode, 0); // today, from the clock
    EXPECT_EQ(run("boka 1m"),
              (cli::CommandOutput{0,
                                  "Bokfört 2001-12-05: 1 m\nAnsluten tid: 1 h 11 m\n"
                                  "Använd extra tid: 11 m\nKostnad: 1,90 kr\nDecember 2001\n"
                                  "Ansluten tid: 1 h 11 m\nExtra månadstid: 11 m\n"
                                  "Extra månadskostnad: 1,90 kr\nTotal månadskostnad: 146,90 kr\n",
                                  ""}));
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{5, kDay5}}));
    // Past 24 hours: refused.
    const cli::CommandOutput full = run("boka 23:00:00");
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_TRUE(has(full.err, "Du kan inte mata in mer tid än 24 timmar per dygn")) << full.err;
}

// Ending at 00:10 on the 9th: 600 s on the 9th, the whole 8th, and 90600 − 600 − 86400 = 3600 s
// on the 7th, each on its own day.
TEST_F(CommandLineTest, AConnectionEndingAfterMidnightIsSplitBetweenItsDays) {
    m_clock.set(core::Date{2001, 12, 9}, 600);
    const cli::CommandOutput nights = run("boka --anslutning 90600");
    EXPECT_EQ(nights.exitCode, 0) << nights.err;
    EXPECT_EQ(nights.out.find("Bokfört 2001-12-07: 1 h\n"), 0U);
    EXPECT_TRUE(has(nights.out, "Bokfört 2001-12-08: 24 h\n")) << nights.out;
    EXPECT_TRUE(has(nights.out, "Bokfört 2001-12-09: 10 m\n")) << nights.out;
    const auto december = storage::decodeMonth(m_dir.read("0112.tid"));
    EXPECT_EQ(december[6].connectedSeconds, 3600);
    EXPECT_EQ(december[7].connectedSeconds, 86400);
    EXPECT_EQ(december[8].connectedSeconds, 600);
}

TEST_F(CommandLineTest, VisaAndSummaShowTheWindowsTextsAndChangeNoFile) {
    handMadeDecember();
    m_dir.write("0111.tid", {});
    const cli::CommandOutput shown = run("visa 2001-12");
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_EQ(shown.out, "December 2001\n\n"
                         "Datum       Ansluten tid    Extra tid       Kostnad\n"
                         "2001-12-05  1 h 11 m        11 m            1,90 kr\n"
                         "2001-12-12  30 m            -               0,00 kr\n\n"
                         "Ansluten tid: 1 h 41 m\nExtra månadstid: 11 m\n"
                         "Extra månadskostnad 1,90 kr\nTotal månadskostnad: 146,90 kr\n\n"
                         // The clock's month, on its 5th day: the 12th plays no part yet.
                         // 4260 × 31 / 5 = 26412 s; 660 × 31 / 5 = 4092 s; 190 öre × 31 / 5 =
                         // 1178 öre, 11,78 + 145. The 2 h plan would cost 245 kr, the 8 h 595.
                         "Prognos för december 2001 i samma takt som dag 1–5:\n"
                         "Ansluten tid: 7 h 20 m 12 s\nExtra tid: 1 h 8 m 12 s\n"
                         "Total månadskostnad: 156,78 kr\n"
                         "Billigast i den takten: 1 h / dygn (156,78 kr)\n");
    EXPECT_EQ(run("visa").out, shown.out); // the clock's month
    EXPECT_EQ(run("visa 2001-11").out, "Ingen tid är bokförd i november 2001.\n");

    // One month boundary: the fee once, 145 + 1,90.
    const cli::CommandOutput sum = run("summa 2001-11-15 2001-12-31");
    EXPECT_EQ(sum.exitCode, 0);
    EXPECT_EQ(sum.out, "Ansluten tid: 1 h 41 m\nExtra tid: 11 m\nExtra kostnad: 1,90 kr\n"
                       "Total kosttnad: 146,90 kr\n(Fasta kostnaden uppräknas varje hel månad.)\n"
                       // Every fee shared out: 16 / 30 of November and all December. 1 h: 190 +
                       // 14500 × 16 / 30 = 7733,33 + 14500: 22423,33. Neither day passes 2 h:
                       // 24500 × 46 / 30 = 37566,67 and 59500 × 46 / 30 = 91233,33 alone.
                       "Jämförelse, avgiften räknad per dag:\n"
                       "1 h / dygn: 224,23 kr (billigast)\n"
                       "2 h / dygn: 375,67 kr (uppskattat)\n"
                       "8 h / dygn: 912,33 kr (uppskattat)\n");
    EXPECT_EQ(run("summa 2001-12-06 2001-12-12").out.find("Ansluten tid: 30 m\n"), 0U);
    // Without TILL up to today, the 5th: 4260 s. Without dates the clock's month: 4260 + 1800 s.
    EXPECT_EQ(run("summa 2001-12-01").out.find("Ansluten tid: 1 h 11 m\n"), 0U);
    EXPECT_EQ(run("summa").out.find("Ansluten tid: 1 h 41 m\n"), 0U);
    // Ranges the window refuses are refused with its texts.
    EXPECT_EQ(
        run("summa 2001-12-31 2001-12-01"),
        (cli::CommandOutput{1, "", "surfklocka: \"FRÅN\" måste vara tidigare än \"TILL\".\n"}));
    EXPECT_EQ(run("summa 2001-01-01 2002-01-02").err,
              "surfklocka: Det går inte att summera längre\ntid än 12 månader.\n");
    EXPECT_EQ(run("exportera 2001-01-01 2002-01-02").exitCode, 1);
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0111.tid", "0112.tid", "tid.it"}));
}

// Every booked day of the range, rounded to whole öre half-up, the plan's text quoted where its
// format needs it. 2001-12-02: 3700 s, 100 extra, 40.5 öre.
TEST_F(CommandLineTest, ExportWritesEveryBookedDayAsCsvForScriptsOrSpreadsheetsAndJson) {
    m_dir.write("tid.it", settingsOf("x,\"y\"     "));
    m_dir.write("0112.tid",
                monthFileBytes({{2, dayRecordBytes(3700, 100, 40.5f, 2)}, {12, kDay12}}));
    EXPECT_EQ(run("exportera").out, // the clock's month
              "datum,ansluten_sekunder,extra_sekunder,kostnad_ore,kostnad_kr,abonnemang\r\n"
              "2001-12-02,3700,100,41,0.41,\"x,\"\"y\"\"\"\r\n"
              "2001-12-12,1800,0,0,0.00,\"x,\"\"y\"\"\"\r\n");
    // For a spreadsheet: the byte-order mark EF BB BF, semicolons and decimal commas.
    EXPECT_EQ(run("exportera --format kalkyl 2001-12-01").out,
              "\xEF\xBB\xBF"
              "datum;ansluten_sekunder;extra_sekunder;kostnad_ore;kostnad_kr;abonnemang\r\n"
              "2001-12-02;3700;100;41;0,41;\"x,\"\"y\"\"\"\r\n");
    EXPECT_EQ(run("exportera --format json 2001-12-06 2001-12-31").out,
              "[\n  {\"datum\": \"2001-12-12\", \"ansluten_sekunder\": 1800, \"extra_sekunder\": "
              "0, \"kostnad_ore\": 0, \"kostnad_kr\": 0.00, \"abonnemang\": \"x,\\\"y\\\"\"}\n]\n");
    EXPECT_EQ(run("exportera --format json 2001-11-01 2001-11-30").out, "[]\n");
    // A separator in a field is quoted where it separates: the semicolon in a spreadsheet's file.
    m_dir.write("tid.it", settingsOf("a;b       "));
    EXPECT_TRUE(run("exportera 2001-12-01").out.ends_with(",0.41,a;b\r\n"));
    EXPECT_TRUE(run("exportera --format kalkyl 2001-12-01").out.ends_with(";0,41;\"a;b\"\r\n"));
}

TEST_F(CommandLineTest, AviseringTellsAndStoresTheNoticeSettingInItsOwnFile) {
    const std::string told = "Avisering innan extra tid börjar: ";
    EXPECT_EQ(run("avisering").out, told + "på.\n");
    EXPECT_FALSE(m_dir.exists("avisering.it")); // telling writes nothing
    EXPECT_EQ(run("avisering av"), (cli::CommandOutput{0, told + "av.\n", ""}));
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{0x00, 0x00}));
    EXPECT_EQ(run("avisering").out, told + "av.\n");
    EXPECT_EQ(run("avisering pa").exitCode, 0);
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{0xFF, 0xFF}));
    // A damaged file is never written over.
    m_dir.write("avisering.it", {1, 2, 3});
    EXPECT_EQ(run("avisering").out,
              told + "på.\n(Filen avisering.it kunde inte läsas, så aviseringen är på.)\n");
    EXPECT_EQ(run("avisering av"), (cli::CommandOutput{1, "",
                                                       "surfklocka: Filen avisering.it är skadad "
                                                       "och skrivs inte över. Ta bort den och "
                                                       "försök igen.\n"}));
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{1, 2, 3}));
    EXPECT_TRUE(m_notifier.notices().empty());
}

// A connection ending at 00:30 on the 6th: 40 minutes on the 5th pass its hour by 30 m 1 s
// (3001 + 2400 = 5401 s); the 6th keeps 30 m of its hour.
TEST_F(CommandLineTest, ABookingThatStartsExtraTimeIsToldUnlessNoticesAreOff) {
    m_dir.write("0112.tid", monthFileBytes({{5, dayRecordBytes(3001, 0, 0.0f, 5)}}));
    m_clock.set(core::Date{2001, 12, 6}, 1800);
    EXPECT_EQ(run("boka --anslutning 4200").exitCode, 0);
    ASSERT_EQ(m_notifier.notices().size(), 1U);
    EXPECT_EQ(m_notifier.notices()[0].title, "Extra tid har börjat");
    EXPECT_TRUE(has(m_notifier.notices()[0].body, "Extra tid hittills: 30 m 1 s."));
    run("avisering av");
    EXPECT_EQ(run("boka --datum 2001-12-07 2:00:00").exitCode, 0);
    EXPECT_EQ(m_notifier.notices().size(), 1U);
}

// What cannot be booked or shown is told with its real cause, once, and changes no file.
TEST_F(CommandLineTest, AFailureNamesItsFileAndTheSystemsCause) {
    handMadeDecember();
    const Bytes month = m_dir.read("0112.tid");
    const std::string notSaved = "surfklocka: Tiden kunde inte sparas, eftersom filen 0112.tid ";
    const std::string read = notSaved + "inte gick att läsa: ";
    const std::string written = notSaved + "inte gick att skriva: ";
    const std::string nothing = ".\nIngen tid har bokförts.\n";
    // The arguments, the call of the file layer that fails (its first), its errno, the text.
    const std::vector<std::tuple<std::string, std::string, int, std::string>> cases{
        {"boka", "readFile 0112.tid", EACCES, read + "behörighet saknas" + nothing},
        {"boka", "replaceFile:deferred 0112.tid", ENOSPC, written + "disken är full" + nothing},
        {"boka", "replaceFile:deferred 0112.tid", EROFS,
         written + "filsystemet är skrivskyddat" + nothing},
        {"boka", "syncFolder .", EIO, written + "läs- eller skrivfel på disken" + nothing},
        {"visa", "readFile 0112.tid", EACCES,
         "surfklocka: Månaden kan inte visas, eftersom filen 0112.tid inte gick att läsa: "
         "behörighet saknas.\n"},
    };
    for (const auto& [verb, call, error, err] : cases) {
        SCOPED_TRACE(call);
        const cli::Command command = *parse(verb == "boka" ? "boka 1:00" : "visa 2001-12").command;
        // Which call that is, from a run on a copy of the folder.
        testing_support::TempDir copy;
        copy.write("tid.it", m_dir.read("tid.it"));
        copy.write("0112.tid", month);
        platform::PosixFileSystem copyFiles(copy.path());
        platform::fakes::FaultyFileSystem probe(copyFiles);
        cli::runCommand(command, probe, m_clock, m_settings);
        const auto at = std::find(probe.log().begin(), probe.log().end(), call);

        platform::fakes::FaultyFileSystem faulty(m_files);
        faulty.failWith(error);
        faulty.failAt(static_cast<int>(at - probe.log().begin()) + 1,
                      platform::fakes::FaultyFileSystem::Mode::Once);
        EXPECT_EQ(cli::runCommand(command, faulty, m_clock, m_settings),
                  (cli::CommandOutput{1, "", err}));
        EXPECT_EQ(m_dir.read("0112.tid"), month);
        EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0112.tid", "tid.it"}));
    }
    // With a month too long to be one, or without a settings file, the same two lines.
    m_dir.write("0112.tid", Bytes(16 * 31 + 1, 0));
    EXPECT_EQ(run("boka 1:00").err, notSaved + "är skadad" + nothing);
    std::filesystem::remove(m_dir.file("tid.it"));
    EXPECT_EQ(run("boka 1:00").err,
              "surfklocka: Tiden kan inte sparas, eftersom abonnemanget inte är känt: filen tid.it "
              "finns inte" +
                  nothing);
}

// A change of plan from next month: December keeps 1 h, January is booked and priced with 8 h.
TEST_F(CommandLineTest, AbonnemangChangesThePlanFromAMonthOnAndEveryMonthKeepsItsOwn) {
    handMadeDecember();
    EXPECT_EQ(run("abonnemang").out,
              "Abonnemang nu: 1 h / dygn\nSamma abonnemang gäller för alla månader.\n");
    EXPECT_EQ(run("abonnemang 8 --fran 2001-11").exitCode, 1); // a month gone by
    EXPECT_EQ(run("abonnemang 8 --fran 2002-01").out,
              "Från 2002-01-01 gäller 8 h / dygn. Tidigare månader behåller sitt abonnemang.\n");
    EXPECT_EQ(run("abonnemang").out,
              "Abonnemang nu: 1 h / dygn\nFrån 2001-01: 1 h / dygn\nFrån 2002-01: 8 h / dygn\n");
    // 2 h on 3 January are within 8 h; the month's fee is 595 kr.
    const cli::CommandOutput january = run("boka --datum 2002-01-03 2:00");
    EXPECT_TRUE(has(january.out, "Tid kvar: 6 h\n") &&
                has(january.out, "Total månadskostnad: 595,00 kr\n"))
        << january.out;
    // December keeps its bytes and its 145 kr; the range pays January's fee at the boundary:
    // 1,90 kr extra + 595 kr.
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{5, kDay5}, {12, kDay12}}));
    EXPECT_TRUE(has(run("visa 2001-12").out, "Total månadskostnad: 146,90 kr\n"));
    EXPECT_EQ(run("summa 2001-12-01 2002-01-31")
                  .out.find("Ansluten tid: 3 h 41 m\nExtra tid: 11 m\nExtra kostnad: 1,90 kr\n"
                            "Total kosttnad: 596,90 kr\n"),
              0U);
}
