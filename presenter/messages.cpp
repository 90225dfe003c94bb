#include "presenter/messages.h"

#include "core/iso_date.h"
#include "core/plan.h"
#include "core/swedish.h"
#include "core/texts.h"
#include "platform/system_errors.h"

namespace presenter::messages {

std::string withCause(std::string_view what, int error) {
    std::string text(what);
    if (error != 0) {
        text += ": " + platform::systemErrorText(error);
    }
    return text;
}

std::string unusableMonth(std::string_view file, storage::MonthState state, int error) {
    if (state == storage::MonthState::Damaged) {
        return "filen " + std::string(file) + " är skadad";
    }
    return withCause("filen " + std::string(file) + " inte gick att läsa", error);
}

std::string monthNotWritten(std::string_view file, storage::MonthState state, int error) {
    if (state == storage::MonthState::Damaged || state == storage::MonthState::Unreadable) {
        return unusableMonth(file, state, error);
    }
    if (file.empty()) {
        return withCause("datamappen inte gick att skriva i", error);
    }
    return withCause("filen " + std::string(file) + " inte gick att skriva", error);
}

std::string unknownPlan(const storage::SettingsFile::Loaded& settings) {
    if (settings.missing) {
        return "filen tid.it finns inte";
    }
    if (settings.damaged) {
        return "filen tid.it är skadad";
    }
    if (settings.unreadable) {
        return withCause("filen tid.it kunde inte läsas", settings.error);
    }
    return "inget abonnemang har valts i filen tid.it";
}

std::string notSaved(std::string_view cause) {
    return "Tiden kunde inte sparas, eftersom " + std::string(cause) + ".\n" +
           std::string(kNothingBooked);
}

std::string noPlan(const storage::SettingsFile::Loaded& settings) {
    return "Tiden kan inte sparas, eftersom abonnemanget inte är känt: " + unknownPlan(settings) +
           ".\n" + std::string(kNothingBooked);
}

std::string setAside(const storage::EntryResult& result) {
    std::string text = "Filen " + result.name;
    switch (result.setAsideCause) {
    case storage::SetAsideCause::NotAnEntry:
        text += " är ingen bokning som Surfklocka har skrivit";
        break;
    case storage::SetAsideCause::Link:
        text += " är en symbolisk länk, som Surfklocka inte följer";
        break;
    case storage::SetAsideCause::NotAFile:
        text += " är ingen vanlig fil";
        break;
    }
    text += ", så ingenting bokförs från den. ";
    text += result.setAsideFailed ? std::string("Den kunde inte läggas undan.")
                                  : "Den har lagts undan som " + result.name +
                                        std::string(storage::kSetAsideSuffix) + ".";
    return text;
}

std::string entryOutcome(const storage::EntryResult& result,
                         const storage::SettingsFile::Loaded& settings) {
    switch (result.outcome) {
    case storage::EntryOutcome::Booked: {
        std::string text;
        for (const storage::PendingPart& part : result.entry.parts) {
            text += (text.empty() ? "" : "\n") + std::string("Bokfört ") +
                    core::isoDateText(part.date) + ": " +
                    std::string(core::trimBlanks(core::durationText(part.seconds)));
        }
        return text;
    }
    case storage::EntryOutcome::Refused:
        return std::string(kDayFull) + " (" + core::isoDateText(result.refusedDay) + ").\n" +
               std::string(kNothingBooked);
    case storage::EntryOutcome::NoPlan:
        return noPlan(settings);
    case storage::EntryOutcome::Failed:
        return notSaved(monthNotWritten(result.monthFile, result.monthState, result.error));
    case storage::EntryOutcome::SetAside:
        return setAside(result);
    case storage::EntryOutcome::Kept:
        break;
    }
    return "En bokning är påbörjad men kan inte bokföras färdigt nu, eftersom " +
           monthNotWritten(result.monthFile, result.monthState, result.error) +
           ".\nDen bokförs färdigt vid nästa bokning eller start.";
}

std::string notDeleted(std::string_view what, std::string_view cause) {
    return std::string(what) + " kunde inte tas bort" +
           (cause.empty() ? "" : ", eftersom " + std::string(cause)) + ".\nIngenting har ändrats.";
}

std::string notRestored(std::string_view what, std::string_view why) {
    return std::string(what) + " kan inte återställas, eftersom " + std::string(why) +
           "\nIngenting har skrivits över.";
}

std::string copyCannotServe(std::string_view copy, bool missing) {
    return "kopian av månaden (" + std::string(copy) +
           (missing ? ") inte finns kvar." : ") inte går att läsa eller är skadad.");
}

std::string undoPlanChange(const core::PlanChange& change) {
    const auto plan = core::planForAllowance(change.dailyAllowance);
    return "Ångrar bytet till " +
           std::string(plan ? core::trimBlanks(plan->planText) : std::string_view("?")) + " från " +
           std::string(core::monthNameLower(change.month)) + " " + core::decimalText(change.year) +
           ".";
}

} // namespace presenter::messages
