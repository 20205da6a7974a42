// An add-on for the tests of the client's connection: it joins the client
// named on its command line, answers the client's events with calls of
// its own, and prints what it saw, one line each.

#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/ui/LLRemoteApplication.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

QTextStream out(stdout);

void say(const QString& line) {
    out << line << '\n';
    out.flush();
}

struct ProbeSink : LLUiCOM::EventSink {
    LLUiCOM::Application* app = nullptr;

    int OnApplicationLoad(LLUiCOM::Application& application) override {
        try {
            application.loadBatchActions(
                u"<Application><Menus><action type=\"add\"><Menu Type=\"1\" UniqueID=\"P_@OPEN\" "
                u"String=\"Open probe\" FatherUID=\"4864\"/></action></Menus></Application>"_s);
            say(u"results "_s + application.lastBatchResults());
            say(u"menu "_s + application.menuItem(u"P_@OPEN"_s).text);
            const std::shared_ptr<LLObjectsCOM::Company> company = application.company();
            say(u"company %1 %2"_s.arg(company->CompanyDB, company->UserName));
            say(u"pressed %1"_s.arg(application.messageBox(u"Go on?"_s, 2, u"Yes"_s, u"No"_s)));
            application.loadBatchActions(u"<Application/>"_s.left(5));
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
    int OnMenuEvent(const LLUiCOM::MenuEvent& e, bool& passOn) override {
        say(u"menu event %1 %2"_s.arg(e.menuUid, e.beforeAction ? u"before"_s : u"after"_s));
        if (e.menuUid == u"P_@OPEN")
            passOn = false;
        return 0;
    }
    int OnFormLoad(const LLUiCOM::FormEvent&, bool&) override { return 0; }
    int OnChangeLanguage() override {
        say(u"language %1"_s.arg(app->language()));
        return 0;
    }
    int OnCompanyEvent(std::shared_ptr<LLObjectsCOM::Company> company) override {
        say(u"company event %1"_s.arg(company ? company->CompanyDB : u"none"_s));
        return 0;
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ProbeSink sink;
    LLUiCOM::RemoteApplication client(sink);
    sink.app = &client;
    QObject::connect(&client, &LLUiCOM::RemoteApplication::clientGone, [] {
        say(u"gone"_s);
        QCoreApplication::exit(3);
    });
    QString why;
    if (!client.join(application.arguments().value(1), &why)) {
        say(u"refused "_s + why);
        return 2;
    }
    say(u"joined"_s);
    return QCoreApplication::exec();
}
