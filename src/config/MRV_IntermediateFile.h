#pragma once

#include <QString>

// The configuration file through which one copy run carries its selection
// from the base to the target. It holds base data, so it lives in the
// user's private folder ($XDG_RUNTIME_DIR/mirrova, else /tmp/mirrova-UID,
// mode 0700), is made exclusively under a name of its own (mode 0600: two
// runs at once never read each other's file) and is removed when the run
// ends, whatever its outcome. Files that runs killed on the way left behind
// are removed when the next one starts.
class MRV_IntermediateFile {
public:
    MRV_IntermediateFile();
    ~MRV_IntermediateFile();
    MRV_IntermediateFile(const MRV_IntermediateFile&) = delete;
    MRV_IntermediateFile& operator=(const MRV_IntermediateFile&) = delete;

    // The file's path; empty when it could not be made (error() says why).
    const QString& path() const { return m_path; }
    bool isValid() const { return !m_path.isEmpty(); }
    const QString& error() const { return m_error; }

    // The private folder, made when missing; empty with the reason in
    // error when it is not a folder of the user's own (another owner, a
    // symbolic link, not a folder, or not to be made).
    static QString privateFolder(QString* error);

private:
    static void removeLeftovers(const QString& folder);

    QString m_path;
    QString m_error;
};
