#pragma once

#include <QStringList>
#include <QTextStream>

// mirrova-cli: the program's work without its windows. run() takes the
// arguments after the program name and returns the exit status: 0 done,
// 1 the work failed, 2 the command line was wrong.
class MRV_Cli {
public:
    enum ExitStatus { Ok = 0, Failed = 1, Usage = 2 };

    MRV_Cli(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

    int run(const QStringList& args);

    static QString usage();

private:
    int catalogue(int language);
    int text(const QString& id, int language);
    int usageError(const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;
};
