// mirrova: the program as the client's add-on. The client starts it with a
// connection string; started any other way, it has nothing to do.

#include "shell/MRV_MirrovaApp.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mirrova"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("mirrova"), QIcon(QStringLiteral(":/icons/mirrova.svg"))));
    MRV_MirrovaApp app;
    if (!app.InitInstance(QApplication::arguments())) {
        if (app.exitCode() == MRV_MirrovaApp::NotStartedByClient)
            QTextStream(stderr) << "mirrova: the client starts this program from its Tools "
                                   "menu; for work without windows use mirrova-cli\n";
        return app.ExitInstance(app.exitCode());
    }
    return app.ExitInstance(QApplication::exec());
}
