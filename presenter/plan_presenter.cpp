#include "presenter/plan_presenter.h"

#include "core/plan.h"
#include "core/swedish.h"
#include "core/texts.h"
#include "storage/settings_file.h"

namespace presenter {

PlanPresenter::PlanPresenter(platform::FileSystem& files, platform::MessageBox& messages,
                             core::ProgramSettings& settings)
    : m_files(files), m_messages(messages), m_settings(settings) {}

const PlanView& PlanPresenter::load() {
    m_view = PlanView{};
    m_view.lblValkommen = std::string("Välkommen till ") + core::kProgramName +
                          "\n\nDu börjar med att ställa in programmet efter den typ av NetLink "
                          "abbonemang du har.";
    return m_view;
}

const PlanView& PlanPresenter::loadChange(const core::Date& today, std::int32_t current) {
    m_view = PlanView{};
    m_view.title = "Byt abonnemang";
    m_view.lblValkommen = "Välj abonnemang och från vilken månad det gäller. Tidigare månader "
                          "behåller sitt abonnemang, och inget som redan är bokfört ändras.";
    m_view.change = true;
    const auto plans = core::allPlans();
    for (std::size_t i = 0; i < plans.size(); ++i) {
        if (plans[i].dailyAllowance == current) {
            m_view.optNetlink = static_cast<int>(i);
        }
    }
    m_from = {core::Date{today.year, today.month, 1},
              core::addMonthsClamped(core::Date{today.year, today.month, 1}, 1)};
    for (std::size_t i = 0; i < m_from.size(); ++i) {
        m_view.optFran[i] = "den 1 " + std::string(core::monthNameLower(m_from[i].month)) + " " +
                            core::decimalText(m_from[i].year) +
                            (i == 0 ? " (denna månad)" : " (nästa månad)");
    }
    return m_view;
}

const PlanView& PlanPresenter::chooseFrom(int option) {
    if (m_view.outcome == PlanOutcome::Open && m_view.change && (option == 0 || option == 1)) {
        m_view.fran = option;
    }
    return m_view;
}

const PlanView& PlanPresenter::choose(int option) {
    if (m_view.outcome == PlanOutcome::Open && option >= 0 &&
        static_cast<std::size_t>(option) < core::allPlans().size()) {
        m_view.optNetlink = option;
    }
    return m_view;
}

const PlanView& PlanPresenter::ok() {
    if (m_view.outcome != PlanOutcome::Open) {
        return m_view;
    }
    const core::Plan& plan = core::allPlans()[static_cast<std::size_t>(m_view.optNetlink)];
    if (m_view.change) {
        m_choice = {plan.dailyAllowance, m_from[static_cast<std::size_t>(m_view.fran)]};
        m_view.outcome = PlanOutcome::Chosen;
        return m_view;
    }
    m_settings.planText = std::string(plan.planText);
    m_settings.dailyAllowance = plan.dailyAllowance;
    if (!storage::SettingsFile(m_files).storePlan(m_settings.planText, m_settings.dailyAllowance)) {
        m_messages.show("Abonnemanget kunde inte sparas i filen tid.it.\n"
                        "Det gäller bara så länge programmet är igång.",
                        "Kan inte spara", platform::MessageBox::Buttons::Ok,
                        platform::MessageBox::Icon::Exclamation);
    }
    m_view.outcome = PlanOutcome::Stored;
    return m_view;
}

const PlanView& PlanPresenter::cancel() {
    if (m_view.outcome != PlanOutcome::Open) {
        return m_view;
    }
    if (m_view.change) {
        m_view.outcome = PlanOutcome::Closed;
        return m_view;
    }
    // Without the settings file the next start is a first start again.
    storage::SettingsFile(m_files).remove();
    m_view.outcome = PlanOutcome::Cancelled;
    return m_view;
}

} // namespace presenter
