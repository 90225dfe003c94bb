// Fills a data folder with believable bookings for the screenshots: the 2-hour plan chosen, and
// bookings on most days from the first of the month two months before a given day up to that
// day. It books through the program's own storage layer, exactly as the main window's save
// button does, so the files are what the program itself would have written.
//
// Usage: surfklocka_demo_data <data folder> <yyyy-mm-dd>
//
// It writes only into the given folder, which it creates (mode 0700) when missing; it refuses a
// folder that already holds a settings file, so that it never mixes into anyone's real data. The
// bookings are the same on every run for the same day.

#include "core/date.h"
#include "core/date_fields.h"
#include "platform/posix_file_system.h"
#include "storage/booking.h"
#include "storage/settings_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace {

constexpr std::int16_t kTwoHours = 7200;

bool parseDay(const char* text, core::Date& date) {
    int year = 0;
    int month = 0;
    int day = 0;
    char end = 0;
    if (std::sscanf(text, "%4d-%2d-%2d%c", &year, &month, &day, &end) != 3) {
        return false;
    }
    date = core::Date{year, month, day};
    return date.isValid() && year >= 2001 && year <= 2099;
}

// How long one evening's sessions last, in seconds: usually well within the two prepaid hours,
// now and then past them, at weekends longer.
std::int32_t sessionSeconds(std::mt19937& random, bool weekend) {
    std::uniform_int_distribution<int> minutes(weekend ? 15 : 5, weekend ? 95 : 60);
    std::uniform_int_distribution<int> seconds(0, 59);
    return minutes(random) * 60 + seconds(random);
}

} // namespace

int main(int argc, char* argv[]) {
    core::Date last;
    if (argc != 3 || !parseDay(argv[2], last)) {
        std::fprintf(stderr, "Användning: %s <datamapp> <åååå-mm-dd, 2001 till 2099>\n", argv[0]);
        return EXIT_FAILURE;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, error);
    if (error || !std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "Kan inte skapa %s\n", folder.c_str());
        return EXIT_FAILURE;
    }
    if (std::filesystem::exists(folder / storage::kSettingsFileName)) {
        std::fprintf(stderr, "%s har redan data; välj en tom mapp.\n", folder.c_str());
        return EXIT_FAILURE;
    }

    platform::PosixFileSystem files(folder.string());
    storage::SettingsFile settings(files);
    settings.loadAtStart(); // the first start's mark, as the program writes it
    if (!settings.storePlan("2 h / dygn", kTwoHours)) {
        std::fprintf(stderr, "Kan inte skriva inställningarna i %s\n", folder.c_str());
        return EXIT_FAILURE;
    }

    std::mt19937 random(static_cast<std::uint32_t>(core::toDayNumber(last)));
    std::uniform_int_distribution<int> percent(0, 99);
    int booked = 0;
    for (core::Date day = core::addMonthsClamped(core::Date{last.year, last.month, 1}, -2);
         day <= last; day = core::addDays(day, 1)) {
        const bool weekend = core::isoWeekday(day) >= 6;
        if (percent(random) < 15) {
            continue; // a day offline
        }
        const int sessions = 1 + (percent(random) < 35 ? 1 : 0) + (weekend ? 1 : 0);
        for (int i = 0; i < sessions; ++i) {
            const storage::BookingRequest request{core::twoDigits(day.year % 100),
                                                  core::twoDigits(day.month), day.day,
                                                  sessionSeconds(random, weekend), kTwoHours};
            if (!storage::bookTime(files, request).written()) {
                std::fprintf(stderr, "Kunde inte boka %d-%02d-%02d\n", day.year, day.month,
                             day.day);
                return EXIT_FAILURE;
            }
            ++booked;
        }
    }
    // No undo copy is left behind: the program starts as after a plain restart.
    storage::sweepBackups(files);
    std::printf("%d bokningar i %s\n", booked, folder.c_str());
    return EXIT_SUCCESS;
}
