#include "HostTestSupport.h"
#include "host/ui/LLLocalApplication.h"
#include "host/ui/LLUiServer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QCoreApplication& qtApplication() {
    static int argc = 1;
    static char name[] = "test_host";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    return app ? *app : *QCoreApplication::instance();
}

// Runs the event loop until done holds, or a long time passed (a test
// failure, not a wait the test relies on).
bool runUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    tick.start(5);
    if (!done())
        loop.exec();
    return done();
}

QString probe() {
    return QStringLiteral(MIRROVA_BINARY_DIR "/tests/test_ui_probe");
}

} // namespace

// An add-on in its own process joins the client by its one-time token, calls
// the client while it handles the client's events (menus, its company by a
// login context, a message box, an error), keeps its own menu's event,
// hears the language change, and ends with the unload.
TEST_F(HostWorld, AnAddOnInItsOwnProcessTalksToTheClient) {
    qtApplication();
    auto company = std::make_shared<LLObjectsCOM::Company>();
    openCompany(*company, 6);
    LLUiCOM::LocalApplication client(company, 1033);
    client.messageBoxHandler = [](const LLUiCOM::LocalApplication::MessageBoxRequest&) {
        return 1;
    };
    LLUiCOM::UiServer server(client);
    QString why;
    ASSERT_TRUE(server.listen(&why)) << why.toStdString();

    QProcess addOn;
    addOn.start(probe(), {server.issueConnectionString()});
    ASSERT_TRUE(runUntil([&] { return server.addOns() == 1; }))
        << addOn.readAllStandardOutput().toStdString();
    EXPECT_EQ(client.raiseApplicationLoad(), 0) << addOn.readAllStandardOutput().toStdString()
                                                << addOn.readAllStandardError().toStdString();
    ASSERT_NE(client.menus().find(u"P_@OPEN"_s), nullptr);
    EXPECT_EQ(client.menus().find(u"P_@OPEN"_s)->text, u"Open probe"_s);
    EXPECT_FALSE(client.clickMenu(u"P_@OPEN"_s));
    EXPECT_TRUE(client.clickMenu(u"512"_s));
    client.changeLanguage(1031);
    client.raiseApplicationUnload();
    ASSERT_TRUE(addOn.waitForFinished(30000));
    EXPECT_EQ(addOn.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(addOn.readAllStandardOutput()).split(u'\n');
    EXPECT_EQ(lines, (QStringList{u"joined"_s,
                                  u"results <Results><Menu action=\"add\" UniqueID=\"P_@OPEN\" "
                                  u"result=\"0\"/></Results>"_s,
                                  u"menu Open probe"_s, u"company DEMO lobster"_s, u"pressed 1"_s,
                                  lines.value(5), u"menu event P_@OPEN before"_s,
                                  u"menu event 512 before"_s, u"menu event 512 after"_s,
                                  u"language 1031"_s, u"unload"_s, QString()}));
    EXPECT_TRUE(lines.value(5).startsWith(u"error "_s)) << lines.value(5).toStdString();
    ASSERT_EQ(client.messageBoxes().size(), 1);
    EXPECT_EQ(client.messageBoxes()[0].captions, (QStringList{u"Yes"_s, u"No"_s}));
}

// A token is good once and only for the client that issued it; an add-on
// whose client goes away hears of it and ends.
TEST_F(HostWorld, AnAddOnComesInOnceAndEndsWhenTheClientGoes) {
    qtApplication();
    LLUiCOM::LocalApplication client(nullptr, 1033);
    auto server = std::make_unique<LLUiCOM::UiServer>(client);
    ASSERT_TRUE(server->listen());
    const QString ticket = server->issueConnectionString();
    QString forged = ticket;
    forged.replace(forged.size() - 4, 4, u"0000"_s);

    QProcess first, refused, made;
    first.start(probe(), {ticket});
    ASSERT_TRUE(runUntil([&] { return server->addOns() == 1; }));
    for (QProcess* p : {&refused, &made}) {
        p->start(probe(), {p == &refused ? ticket : forged});
        ASSERT_TRUE(runUntil([&] { return p->state() == QProcess::NotRunning; }));
        EXPECT_EQ(p->exitCode(), 2) << p->readAllStandardOutput().toStdString();
    }
    EXPECT_EQ(server->addOns(), 1);

    server.reset();
    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.exitCode(), 3);
    EXPECT_TRUE(first.readAllStandardOutput().endsWith("gone\n"));
}
