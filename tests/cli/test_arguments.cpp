#include "cli/arguments.h"

#include <gtest/gtest.h>

using cli::Command;
using cli::CommandKind;
using presenter::ExportFormat;

namespace {

const std::string kPointer = "Försök med \"surfklocka --help\" för mer information.\n";

cli::ParsedCommand parse(const std::vector<std::string>& arguments) {
    return cli::parseArguments(arguments);
}

Command book(std::int64_t seconds, std::optional<core::Date> date = std::nullopt) {
    Command command{CommandKind::Book, date};
    command.seconds = seconds;
    return command;
}

} // namespace

TEST(Arguments, DurationsAreReadAsPeopleWriteThemHoursFirst) {
    struct Case {
        std::vector<std::string> arguments;
        int code; // 0: read as a booking of `seconds`
        std::int64_t seconds;
    };
    const std::vector<Case> cases{
        {{"1:30"}, 0, 5400},            // 1 × 3600 + 30 × 60
        {{"0:25"}, 0, 1500},            // 25 × 60
        {{"01:30:15"}, 0, 5415},        // 3600 + 1800 + 15
        {{"24:00:00"}, 0, 86400},       // a whole day, the most a day holds
        {{"90m"}, 0, 5400},             // 90 × 60
        {{"1h30m"}, 0, 5400},           // 3600 + 1800
        {{"1h 5m 18s"}, 0, 3918},       // 3600 + 300 + 18
        {{"1h", "5m", "18s"}, 0, 3918}, // the same as three arguments
        {{"1", "h", "30", "m"}, 0, 5400},
        {{"45s"}, 0, 45},
        {{"2H"}, 0, 7200},
        {{"25:00"}, 1, 0},    // 25 hours: more than a day
        {{"24:00:01"}, 1, 0}, // 86401 s
        {{"1:60"}, 1, 0},     // minutes go to 59
        {{"0:59:60"}, 1, 0},  // seconds go to 59
        {{"0:00"}, 1, 0},     // nothing to book
        {{"0m"}, 1, 0},
        {{"9999999999999s"}, 1, 0}, // 13 digits
        {{"5400"}, 2, 0},           // a bare number: seconds, minutes or hours?
        {{"1:5"}, 2, 0},            // minutes have two digits
        {{"1:30:00:00"}, 2, 0},
        {{":30"}, 2, 0},
        {{"1:3a"}, 2, 0},
        {{"1h30"}, 2, 0},  // a number without its unit
        {{"30m1h"}, 2, 0}, // units in the order h, m, s
        {{"1h1h"}, 2, 0},
        {{"1x"}, 2, 0},
        {{"-5m"}, 2, 0},
        {{"1:30", "5m"}, 2, 0},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{"boka"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const cli::ParsedCommand parsed = parse(arguments);
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        EXPECT_EQ(parsed.output.exitCode, c.code);
        if (c.code == 0) {
            ASSERT_TRUE(parsed.command);
            EXPECT_EQ(*parsed.command, book(c.seconds));
        } else {
            EXPECT_FALSE(parsed.command);
            // One line naming the fault; wrong use ends with the pointer to --help.
            const std::string& err = parsed.output.err;
            EXPECT_EQ(err.rfind("surfklocka: ", 0), 0U) << err;
            EXPECT_EQ(err.find('\n'), err.size() - (c.code == 2 ? kPointer.size() : 0) - 1) << err;
            EXPECT_EQ(err.ends_with(kPointer), c.code == 2) << err;
        }
    }
    EXPECT_EQ(parse({"boka", "5400"}).output.err,
              "surfklocka: \"5400\" saknar enhet. Skriv tiden som H:MM, H:MM:SS eller med "
              "enheterna h, m och s, till exempel 1:30, 1:30:00, 90m eller 1h 30m.\n" +
                  kPointer);
    EXPECT_EQ(parse({"boka", "25:00"}).output.err,
              "surfklocka: \"25:00\" är för lång tid: högst 24 h går att bokföra.\n");
}

TEST(Arguments, FollowGnuConventions) {
    const core::Date day{2001, 12, 5};
    Command connection{CommandKind::BookConnection};
    connection.seconds = 2678400; // 31 × 86400, the longest connection
    Command kalkyl{CommandKind::Export};
    kalkyl.format = ExportFormat::Spreadsheet;
    Command json{CommandKind::Export, day, core::Date{2001, 12, 31}};
    json.format = ExportFormat::Json;
    Command on{CommandKind::Notices};
    on.noticesOn = true;
    Command off = on;
    off.noticesOn = false;
    const std::vector<std::pair<std::vector<std::string>, Command>> cases{
        {{"boka", "--datum=2001-12-05", "1:30"}, book(5400, day)},
        {{"boka", "1:30", "--datum", "2001-12-05"}, book(5400, day)}, // options after operands
        {{"boka", "--dat", "2001-12-05", "1:30"}, book(5400, day)},   // a beginning of a name
        {{"boka", "--anslutning", "2678400"}, connection},
        {{"boka", "--ansl=2678400"}, connection},
        {{"--help"}, Command{CommandKind::Help}},
        {{"-h"}, Command{CommandKind::Help}},
        {{"boka", "1:30", "--help"}, Command{CommandKind::Help}},
        {{"visa", "--vers"}, Command{CommandKind::Version}},
        {{"visa", "2001-12"}, Command{CommandKind::Show, core::Date{2001, 12, 1}}},
        {{"summa"}, Command{CommandKind::Sum}},
        {{"summa", "2001-12-05"}, Command{CommandKind::Sum, day}},
        {{"exportera", "--format", "kalkyl"}, kalkyl},
        {{"exportera", "2001-12-05", "--format=json", "2001-12-31"}, json},
        {{"avisering", "på"}, on},
        {{"avisering", "pa"}, on},
        {{"avisering", "av"}, off},
    };
    for (const auto& [arguments, command] : cases) {
        const cli::ParsedCommand parsed = parse(arguments);
        ASSERT_TRUE(parsed.command) << ::testing::PrintToString(arguments) << parsed.output.err;
        EXPECT_EQ(*parsed.command, command) << ::testing::PrintToString(arguments);
    }
}

TEST(Arguments, WrongUseIsOneLineAndAPointerToHelpAndARefusalOneLine) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> wrongUse{
        {{}, "Ange ett kommando."},
        {{"frukost"}, "Okänt kommando: frukost."},
        {{"--frukost", "visa"}, "Okänt val --frukost."},
        {{"--help=ja"}, "--help tar inget värde."},
        {{"boka"}, "boka saknar tiden att bokföra."},
        {{"boka", "-x", "1m"}, "boka känner inte till valet -x."},
        {{"boka", "1m", "--datum"}, "--datum saknar sitt värde."},
        {{"boka", "--datum", "2001-12-05", "--datum", "2001-12-06", "1m"},
         "--datum får bara anges en gång."},
        {{"boka", "--datum", "1.12.2001", "1m"},
         "\"1.12.2001\" är inget datum. Skriv datum som ÅÅÅÅ-MM-DD."},
        {{"boka", "--anslutning", "60", "1m"},
         "--anslutning tar varken datum eller tid: bara sekunderna."},
        {{"boka", "--anslutning", "1:00"}, "\"1:00\" är inget helt antal sekunder."},
        {{"visa", "2001-1"}, "\"2001-1\" är ingen månad. Skriv månaden som ÅÅÅÅ-MM."},
        {{"visa", "2001-12", "2002-01"}, "visa tar högst en månad."},
        {{"summa", "2001-01-01", "2001-01-02", "2001-01-03"},
         "summa tar högst två datum: FRÅN och TILL."},
        {{"exportera", "--format", "xml"},
         "Formatet \"xml\" finns inte: välj csv, kalkyl eller json."},
        {{"exportera", "--", "--format"}, // "--" ends the options
         "\"--format\" är inget datum. Skriv datum som ÅÅÅÅ-MM-DD."},
        {{"avisering", "ja"}, "\"ja\" är varken på eller av."},
    };
    for (const auto& [arguments, fault] : wrongUse) {
        const cli::ParsedCommand parsed = parse(arguments);
        EXPECT_FALSE(parsed.command);
        EXPECT_EQ(parsed.output,
                  (cli::CommandOutput{2, "", "surfklocka: " + fault + "\n" + kPointer}))
            << ::testing::PrintToString(arguments);
    }
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
        {{"boka", "--datum", "2001-02-29", "1m"}, "2001-02-29 är inget riktigt datum."},
        {{"boka", "--datum", "2100-01-01", "1m"},
         "Datumet 2100-01-01 ligger utanför 2001-01-01 till 2099-12-31."},
        {{"boka", "--anslutning", "2678401"},
         "\"2678401\" är för lång tid: högst 744 h går att bokföra."},
        {{"boka", "--anslutning", "0"}, "Ingen tid att bokföra: \"0\" är 0 sekunder."},
        {{"visa", "2000-12"}, "2000-12 är ingen månad från januari 2001 till december 2099."},
    };
    for (const auto& [arguments, fault] : refused) {
        EXPECT_EQ(parse(arguments).output,
                  (cli::CommandOutput{1, "", "surfklocka: " + fault + "\n"}))
            << ::testing::PrintToString(arguments);
    }
}
