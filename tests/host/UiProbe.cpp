// An add-on for the tests of the client's connection: it joins the client
// named on its command line through the framework, answers the client's
// events with calls of its own, and prints what it saw, one line each.

#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "tsframework/CTSAddOn.h"
#include "tsframework/CTSIDispatch.h"
#include "tsframework/CTSResourceLoader.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

void say(const QString& line) {
    static QTextStream out(stdout);
    out << line << '\n';
    out.flush();
}

struct ProbeDispatch : CTSIDispatch {
    LLUiCOM::Application* app = nullptr;

    int OnApplicationLoad(LLUiCOM::Application& application) override {
        app = &application;
        try {
            application.loadBatchActions(
                u"<Application><Menus><action type=\"add\"><Menu Type=\"1\" UniqueID=\"P_@OPEN\" "
                u"String=\"Open probe\" FatherUID=\"4864\"/></action></Menus></Application>"_s);
            say(u"results "_s + application.lastBatchResults());
            say(u"menu "_s + application.menuItem(u"P_@OPEN"_s).text);
            const std::shared_ptr<LLObjectsCOM::Company> company = application.company();
            say(u"company %1 %2"_s.arg(company->CompanyDB, company->UserName));
            say(u"pressed %1"_s.arg(application.messageBox(u"Go on?"_s, 2, u"Yes"_s, u"No"_s)));
            application.loadBatchActions(u"<Appl"_s);
        } catch (const ComError& e) {
            say(u"error "_s + e.description());
        }
        return 0;
    }
    int OnApplicationUnload() override {
        say(u"unload"_s);
        QCoreApplication::exit(0);
        return 0;
    }
    int OnMenuEvent(const LLUiCOM::MenuEvent& e, bool* passOn) override {
        say(u"menu event %1 %2"_s.arg(e.menuUid, e.beforeAction ? u"before"_s : u"after"_s));
        if (e.menuUid == u"P_@OPEN")
            *passOn = false;
        return 0;
    }
    int OnChangeLanguage() override {
        say(u"language %1"_s.arg(app->language()));
        return 0;
    }
};

class Probe : public CTSAddOn {
public:
    using CTSAddOn::CTSAddOn;

protected:
    std::unique_ptr<CTSIDispatch> CreateEventSink() override {
        return std::make_unique<ProbeDispatch>();
    }
    const CTSResourceLoader& GetResourceLoader() const override { return m_loader; }
    void OnClientGone() override {
        say(u"gone"_s);
        CTSAddOn::OnClientGone();
    }

private:
    CTSResourceLoader m_loader;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    Probe addOn(application.arguments().value(1), u"PRB"_s);
    try {
        addOn.Connect(0);
    } catch (const ComError& e) {
        say(u"refused "_s + e.description());
        return 2;
    }
    say(u"joined"_s);
    return QCoreApplication::exec();
}
