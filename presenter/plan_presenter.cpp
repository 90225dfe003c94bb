#include "presenter/plan_presenter.h"

#include "core/plan.h"
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
    // Without the settings file the next start is a first start again.
    storage::SettingsFile(m_files).remove();
    m_view.outcome = PlanOutcome::Cancelled;
    return m_view;
}

} // namespace presenter
