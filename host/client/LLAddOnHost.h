#pragma once

#include "host/client/LLAddOnRegistry.h"

#include <QList>
#include <QObject>
#include <QString>

#include <list>
#include <memory>

class QProcess;
namespace LLUiCOM {
class EventSink;
class LocalApplication;
class UiServer;
} // namespace LLUiCOM

// Runs the client's add-ons: each is its own process, started with a
// connection string as its only argument; what it prints goes to the
// client's standard error under its name. An add-on that joins hears the
// application load; one that ends before the client does is reported in
// the status bar. Quitting raises the unload, gives the add-ons a moment to
// end by themselves, closes the connection and ends those that stay.
class LLAddOnHost : public QObject {
    Q_OBJECT
public:
    explicit LLAddOnHost(LLUiCOM::LocalApplication& application, QObject* parent = nullptr);
    ~LLAddOnHost() override;

    // Opens the connection point; false, with why, when it cannot.
    bool listen(QString* error = nullptr);
    // The add-ons the client knows, running or not, in order.
    void setKnown(const QList<LLAddOnEntry>& entries) { m_known = entries; }
    const QList<LLAddOnEntry>& known() const { return m_known; }
    // Starts every known add-on marked to start on its own.
    void startAutomatic();
    // Starts the add-on unless it is running already; a program that cannot
    // start is reported (ended is emitted).
    void start(const LLAddOnEntry& entry);
    bool isRunning(const QString& name) const;
    // Add-ons whose process runs.
    int running() const;

    // The client quits: the unload, the connection closed, then up to
    // graceMs for the add-ons to end, and the rest ended.
    void shutDown(int graceMs = 10000);
    bool isShutDown() const { return m_shutDown; }

signals:
    void output(const QString& name, const QString& line);
    void joined(const QString& name);
    // The add-on's process is gone (or never started), and why.
    void ended(const QString& name, const QString& why);
    void runningChanged();

private:
    struct AddOn;
    void joinedBy(LLUiCOM::EventSink* sink, const QString& connectionString);
    void forward(AddOn& addOn, bool errorChannel, bool flushAll);
    void finished(AddOn& addOn, const QString& why, bool abnormal);
    // Runs the event loop until no add-on runs or ms passed.
    void waitForAll(int ms);
    void say(const QString& text, bool error);

    LLUiCOM::LocalApplication& m_application;
    std::unique_ptr<LLUiCOM::UiServer> m_server;
    QList<LLAddOnEntry> m_known;
    std::list<std::unique_ptr<AddOn>> m_addOns; // running or starting
    bool m_shutDown = false;
};
