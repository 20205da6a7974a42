#pragma once

#include <QStringList>

class QTextStream;
struct LLClientOptions;

// The client as the program runs it: reads the command line, logs in (at
// once with all it needs, else through the log-in dialog), opens the main
// window, starts the add-ons and runs until the window closes. Everything
// that goes wrong is said on err with what, where and why.
class LLClient {
public:
    enum Exit { Ok = 0, Failed = 1, Usage = 2 };

    LLClient(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

    // Before the application object exists: the options, or an exit status
    // when the command line asks for help or is wrong.
    int check(const QStringList& args, LLClientOptions& options);
    // With the application object: the session, until the window closes.
    int run(const LLClientOptions& options);

private:
    QTextStream& m_out;
    QTextStream& m_err;
};
