#include "cli/MRV_Cli.h"

#include <QCoreApplication>

#include <cstdio>

#include <unistd.h>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mirrova-cli"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    const bool terminal = isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return MRV_Cli(out, err, &in, terminal).run(args);
}
