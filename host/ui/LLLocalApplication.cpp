#include "host/ui/LLLocalApplication.h"

#include "host/objects/LLComError.h"

namespace LLUiCOM {

LocalApplication::LocalApplication(std::shared_ptr<LLObjectsCOM::Company> company,
                                   LlLanguages language, QList<MenuItem> menus)
    : m_company(std::move(company)), m_language(language), m_menus(std::move(menus)) {
    m_forms.insert({MainMenuForm, 1}, 0);
}

QList<MenuItem> LocalApplication::clientMenus() {
    return {{.uniqueId = QStringLiteral("512"),
             .text = QStringLiteral("&File"),
             .type = MenuItem::Popup},
            {.uniqueId = ToolsMenu, .text = QStringLiteral("&Tools"), .type = MenuItem::Popup},
            {.uniqueId = QStringLiteral("43520"),
             .text = QStringLiteral("&Help"),
             .type = MenuItem::Popup}};
}

void LocalApplication::alive() const {
    if (m_closed)
        throw ComError(ClientGone, QStringLiteral("The client is no longer there"));
}

std::shared_ptr<LLObjectsCOM::Company> LocalApplication::company() {
    alive();
    if (!m_company)
        throw ComError(E_FAIL, QStringLiteral("No user is logged in to a company"));
    return m_company;
}

LlLanguages LocalApplication::language() {
    alive();
    return m_language;
}

int LocalApplication::messageBox(const QString& text, int defaultButton, const QString& caption1,
                                 const QString& caption2, const QString& caption3) {
    alive();
    MessageBoxRequest request{text, defaultButton, {}};
    for (const QString* caption : {&caption1, &caption2, &caption3})
        if (!caption->isEmpty())
            request.captions << *caption;
    if (request.captions.isEmpty() || defaultButton < 1 || defaultButton > request.captions.size())
        throw ComError(E_INVALIDARG,
                       QStringLiteral("A message box of %1 button(s) has no button %2")
                           .arg(request.captions.size())
                           .arg(defaultButton));
    m_messageBoxes << request;
    const int pressed = messageBoxHandler ? messageBoxHandler(request) : defaultButton;
    return pressed >= 1 && pressed <= request.captions.size() ? pressed : defaultButton;
}

void LocalApplication::freezeForm(int formType, int instance, bool freeze) {
    alive();
    const auto form = m_forms.find({formType, instance});
    if (form == m_forms.end())
        throw ComError(
            E_INVALIDARG,
            QStringLiteral("There is no form %1 of instance %2").arg(formType).arg(instance));
    if (!freeze && *form == 0)
        throw ComError(E_FAIL, QStringLiteral("Form %1 is not frozen").arg(formType));
    *form += freeze ? 1 : -1;
    notify(Change::Forms);
}

int LocalApplication::frozen(int formType, int instance) const {
    return m_forms.value({formType, instance}, -1);
}

void LocalApplication::loadBatchActions(const QString& xml) {
    alive();
    const MenuTree::Outcome outcome = m_menus.apply(xml);
    m_lastResults = outcome.results;
    // A batch that was a document may have changed the menus even if one
    // of its actions failed.
    if (!outcome.results.isEmpty())
        notify(Change::Menus);
    if (!outcome.error.isEmpty())
        throw ComError(E_FAIL, outcome.error);
}

QString LocalApplication::lastBatchResults() {
    alive();
    return m_lastResults;
}

MenuItem LocalApplication::menuItem(const QString& uniqueId) {
    alive();
    const MenuItem* item = m_menus.find(uniqueId);
    if (!item)
        throw ComError(E_INVALIDARG, QStringLiteral("There is no menu %1").arg(uniqueId));
    return *item;
}

void LocalApplication::setMenuEnabled(const QString& uniqueId, bool enabled) {
    alive();
    if (!m_menus.setEnabled(uniqueId, enabled))
        throw ComError(E_INVALIDARG, QStringLiteral("There is no menu %1").arg(uniqueId));
    notify(Change::Menus);
}

void LocalApplication::setStatusBarMessage(const QString& text, bool error) {
    alive();
    m_statusBar = text;
    m_statusBarError = error;
    notify(Change::StatusBar);
}

void LocalApplication::notify(Change change) const {
    if (changed)
        changed(change);
}

void LocalApplication::connect(EventSink* sink) {
    if (sink && !m_sinks.contains(sink))
        m_sinks << sink;
}

void LocalApplication::disconnect(EventSink* sink) {
    m_sinks.removeAll(sink);
}

template <typename Handler> int LocalApplication::raise(Handler handler, EventSink* only) {
    int worst = 0;
    // A handler may disconnect its add-on: the list is walked as it was.
    for (EventSink* sink : QList<EventSink*>(m_sinks))
        if (!only || sink == only)
            worst = std::min(worst, handler(*sink));
    return worst;
}

int LocalApplication::raiseApplicationLoad(EventSink* only) {
    return raise([this](EventSink& sink) { return sink.OnApplicationLoad(*this); }, only);
}

int LocalApplication::raiseApplicationUnload() {
    return raise([](EventSink& sink) { return sink.OnApplicationUnload(); });
}

bool LocalApplication::clickMenu(const QString& uniqueId) {
    bool passOn = true;
    raise([&](EventSink& sink) {
        bool own = true;
        const int result = sink.OnMenuEvent({uniqueId, true}, own);
        passOn = passOn && own;
        return result;
    });
    if (passOn)
        raise([&](EventSink& sink) {
            bool ignored = true;
            return sink.OnMenuEvent({uniqueId, false}, ignored);
        });
    return passOn;
}

bool LocalApplication::loadForm(int formType, int instance, EventSink* only) {
    bool passOn = true;
    raise(
        [&](EventSink& sink) {
            bool own = true;
            const int result = sink.OnFormLoad({formType, instance, true}, own);
            passOn = passOn && own;
            return result;
        },
        only);
    return passOn;
}

void LocalApplication::changeLanguage(LlLanguages language) {
    m_language = language;
    raise([](EventSink& sink) { return sink.OnChangeLanguage(); });
}

void LocalApplication::changeCompany(std::shared_ptr<LLObjectsCOM::Company> company) {
    m_company = company;
    raise([&](EventSink& sink) { return sink.OnCompanyEvent(company); });
}

} // namespace LLUiCOM
