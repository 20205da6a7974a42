// ledgerline: the host client.

#include "host/client/LLClient.h"
#include "host/client/LLClientOptions.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    LLClient client(out, err);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // The command line is checked before a window system is needed, so
    // that --help and mistakes work anywhere.
    LLClientOptions options;
    if (const int status = client.check(args, options); status >= 0)
        return status;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ledgerline"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ledgerline"));
    QApplication::setDesktopFileName(QStringLiteral("ledgerline"));
    return client.run(options);
}
