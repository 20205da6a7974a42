#include "host/client/LLAddOnHost.h"

#include "host/objects/LLComError.h"
#include "host/ui/LLLocalApplication.h"
#include "host/ui/LLUiServer.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// A line an add-on never ends is passed on in pieces of this size.
constexpr qsizetype MaxLine = 64 * 1024;

} // namespace

struct LLAddOnHost::AddOn {
    LLAddOnEntry entry;
    QProcess* process = nullptr; // the host's child, deleted once it ended
    QString connectionString;
    LLUiCOM::EventSink* sink = nullptr; // once joined
    QByteArray pending[2];              // what came after the last line end
};

LLAddOnHost::LLAddOnHost(LLUiCOM::LocalApplication& application, QObject* parent)
    : QObject(parent), m_application(application) {}

LLAddOnHost::~LLAddOnHost() {
    shutDown();
}

bool LLAddOnHost::listen(QString* error) {
    auto server = std::make_unique<LLUiCOM::UiServer>(m_application);
    if (!server->listen(error))
        return false;
    connect(server.get(), &LLUiCOM::UiServer::addOnJoined, this, &LLAddOnHost::joinedBy);
    m_server = std::move(server);
    return true;
}

void LLAddOnHost::startAutomatic() {
    for (const LLAddOnEntry& entry : QList<LLAddOnEntry>(m_known))
        if (entry.autoStart)
            start(entry);
}

bool LLAddOnHost::isRunning(const QString& name) const {
    return std::any_of(m_addOns.cbegin(), m_addOns.cend(),
                       [&](const auto& addOn) { return addOn->entry.name == name; });
}

int LLAddOnHost::running() const {
    return int(m_addOns.size());
}

void LLAddOnHost::start(const LLAddOnEntry& entry) {
    if (m_shutDown || isRunning(entry.name))
        return;
    if (std::none_of(m_known.cbegin(), m_known.cend(),
                     [&](const LLAddOnEntry& known) { return known.name == entry.name; }))
        m_known << entry;
    if (!m_server) {
        say(u"The add-on '%1' cannot be started: the client takes no add-ons"_s.arg(entry.name),
            true);
        emit ended(entry.name, u"the client takes no add-ons"_s);
        return;
    }
    auto owned = std::make_unique<AddOn>();
    AddOn* addOn = owned.get();
    addOn->entry = entry;
    addOn->connectionString = m_server->issueConnectionString();
    addOn->process = new QProcess(this);
    QProcess* process = addOn->process;
    process->setStandardInputFile(QProcess::nullDevice());
    connect(process, &QProcess::readyReadStandardOutput, this,
            [this, addOn] { forward(*addOn, false, false); });
    connect(process, &QProcess::readyReadStandardError, this,
            [this, addOn] { forward(*addOn, true, false); });
    connect(process, &QProcess::finished, this,
            [this, addOn](int code, QProcess::ExitStatus status) {
                if (status == QProcess::CrashExit)
                    finished(*addOn, u"crashed"_s, true);
                else if (code != 0)
                    finished(*addOn, u"ended with status %1"_s.arg(code), true);
                else
                    finished(*addOn, u"ended"_s, false);
            });
    connect(process, &QProcess::errorOccurred, this, [this, addOn](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finished(*addOn,
                     u"could not be started (%1: %2)"_s.arg(addOn->entry.program,
                                                            addOn->process->errorString()),
                     true);
    });
    m_addOns.push_back(std::move(owned));
    emit runningChanged();
    // A start that fails may be reported at once: nothing of the add-on is
    // touched after this.
    process->start(entry.program, {addOn->connectionString});
}

void LLAddOnHost::joinedBy(LLUiCOM::EventSink* sink, const QString& connectionString) {
    const auto it = std::find_if(m_addOns.begin(), m_addOns.end(), [&](const auto& addOn) {
        return addOn->connectionString == connectionString;
    });
    if (it == m_addOns.end()) {
        std::fputs("ledgerline: an add-on joined that the client did not start\n", stderr);
        return;
    }
    (*it)->sink = sink;
    const QString name = (*it)->entry.name;
    emit joined(name);
    // Raised once the server is done with the add-on's greeting; it reaches
    // the add-on that joined alone, the others have loaded already.
    QMetaObject::invokeMethod(
        this,
        [this, name, sink] {
            if (m_shutDown || !isRunning(name))
                return;
            const int result = m_application.raiseApplicationLoad(sink);
            if (result < 0)
                std::fprintf(stderr, "ledgerline: the add-on '%s' answered the load with %d\n",
                             qUtf8Printable(name), result);
        },
        Qt::QueuedConnection);
}

void LLAddOnHost::forward(AddOn& addOn, bool errorChannel, bool flushAll) {
    QByteArray& pending = addOn.pending[errorChannel ? 1 : 0];
    pending += errorChannel ? addOn.process->readAllStandardError()
                            : addOn.process->readAllStandardOutput();
    const auto pass = [&](QByteArray line) {
        if (line.endsWith('\r'))
            line.chop(1);
        // What an add-on prints reaches a terminal: no control sequences.
        QString text = QString::fromUtf8(line);
        for (QChar& c : text)
            if (c.category() == QChar::Other_Control && c != u'\t')
                c = QChar::ReplacementCharacter;
        std::fprintf(stderr, "[%s] %s\n", qUtf8Printable(addOn.entry.name), qUtf8Printable(text));
        emit output(addOn.entry.name, text);
    };
    qsizetype end;
    while ((end = pending.indexOf('\n')) >= 0 || pending.size() >= MaxLine) {
        const qsizetype cut = end >= 0 ? end : MaxLine;
        pass(pending.left(cut));
        pending.remove(0, end >= 0 ? cut + 1 : cut);
    }
    if (flushAll && !pending.isEmpty()) {
        pass(pending);
        pending.clear();
    }
}

void LLAddOnHost::finished(AddOn& addOn, const QString& why, bool abnormal) {
    QProcess* process = addOn.process;
    forward(addOn, false, true);
    forward(addOn, true, true);
    process->disconnect(this);
    process->deleteLater();
    const QString name = addOn.entry.name;
    m_addOns.remove_if([&](const auto& known) { return known.get() == &addOn; });
    if (m_shutDown)
        std::fprintf(stderr, "ledgerline: the add-on '%s' %s\n", qUtf8Printable(name),
                     qUtf8Printable(why));
    else
        say(u"The add-on '%1' %2"_s.arg(name, why), abnormal);
    emit ended(name, why);
    emit runningChanged();
}

void LLAddOnHost::waitForAll(int ms) {
    if (m_addOns.empty())
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    connect(this, &LLAddOnHost::runningChanged, &loop, [&] {
        if (m_addOns.empty())
            loop.quit();
    });
    loop.exec();
}

void LLAddOnHost::shutDown(int graceMs) {
    if (m_shutDown)
        return;
    m_shutDown = true;
    // An add-on that is unloaded may stay for as long as its client does:
    // once unloaded, every add-on hears that the client is gone, and ends
    // on that.
    m_application.raiseApplicationUnload();
    m_application.close();
    m_server.reset();
    waitForAll(graceMs);
    for (const auto& addOn : m_addOns) {
        std::fprintf(stderr, "ledgerline: the add-on '%s' did not end; it is terminated\n",
                     qUtf8Printable(addOn->entry.name));
        addOn->process->terminate();
    }
    waitForAll(graceMs / 2);
    while (!m_addOns.empty()) {
        QProcess* process = m_addOns.front()->process;
        std::fprintf(stderr, "ledgerline: the add-on '%s' is killed\n",
                     qUtf8Printable(m_addOns.front()->entry.name));
        process->kill();
        // Its finished handler takes it off the list; one that never ends
        // even so is given up on.
        if (!process->waitForFinished(graceMs) && !m_addOns.empty() &&
            m_addOns.front()->process == process)
            finished(*m_addOns.front(), u"could not be ended"_s, true);
    }
}

void LLAddOnHost::say(const QString& text, bool error) {
    std::fprintf(stderr, "ledgerline: %s\n", qUtf8Printable(text));
    try {
        m_application.setStatusBarMessage(text, error);
    } catch (const ComError&) {
        // The client is closing: there is no status bar left to tell.
    }
}
