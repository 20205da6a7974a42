#pragma once

#include <QStringList>
#include <QTextStream>

// mirrova-cli: the program's work without its windows. run() takes the
// arguments after the program name and returns the exit status: 0 done,
// 1 the work failed, 2 the command line was wrong.
class MRV_Cli {
public:
    enum ExitStatus { Ok = 0, Failed = 1, Usage = 2, Stopped = 3 };

    // in: where a user's answers come from (null: there is no user);
    // terminal: in and err are a terminal (prompts, progress bar).
    MRV_Cli(QTextStream& out, QTextStream& err, QTextStream* in = nullptr, bool terminal = false)
        : m_out(out), m_err(err), m_in(in), m_terminal(terminal) {}

    int run(const QStringList& args);

    static QString usage();

private:
    int catalogue(int language);
    int text(const QString& id, int language);
    int categories(bool complete);
    int usageError(const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;
    QTextStream* m_in;
    bool m_terminal;
};
