#pragma once

#include <QStringList>

#include <memory>

class MRV_Interaction;
class MRV_InteractionScope;
class MRV_MainFrame;
class MRV_Mirrova;

// The program's process: joins the client named on the command line, makes
// the hidden main window and hands it to the GUI controller. Everything
// else happens as the client's events arrive.
class MRV_MirrovaApp {
public:
    // The status of a process that was not started by the client, and of
    // one that could not join it.
    static constexpr int NotStartedByClient = 2;
    static constexpr int ConnectFailed = 1;

    // interaction: how the program talks to its user; null for windows.
    explicit MRV_MirrovaApp(MRV_Interaction* interaction = nullptr);
    ~MRV_MirrovaApp();
    MRV_MirrovaApp(const MRV_MirrovaApp&) = delete;
    MRV_MirrovaApp& operator=(const MRV_MirrovaApp&) = delete;

    // arguments: the process's, the program first. True when the program
    // is to run its event loop; exitCode() says why not otherwise.
    bool InitInstance(const QStringList& arguments);
    // Ends the add-on; returns the process's exit status.
    int ExitInstance(int status);
    int exitCode() const { return m_exitCode; }

    MRV_Mirrova* addOn() const { return m_addOn.get(); }
    MRV_MainFrame* mainFrame() const { return m_frame.get(); }

    // Whether Connect's result lets the program go on: 0 and positive
    // results do, except 1.
    static bool connected(int result);

private:
    void failedToConnect(const QString& why);

    std::unique_ptr<MRV_Interaction> m_ownInteraction;
    MRV_Interaction* m_interaction;
    std::unique_ptr<MRV_InteractionScope> m_scope;
    std::unique_ptr<MRV_Mirrova> m_addOn;
    std::unique_ptr<MRV_MainFrame> m_frame;
    QString m_commandLine;
    int m_exitCode = 0;
};
