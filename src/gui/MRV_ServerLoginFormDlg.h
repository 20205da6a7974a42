#pragma once

#include "gui/MRV_Dialog.h"

class QCheckBox;
class QLineEdit;

// The database server and how to log in to it: a trusted connection, or a
// database login id with its password. The caller fills it and takes the
// entries after OK.
class MRV_ServerLoginFormDlg : public MRV_Dialog {
public:
    explicit MRV_ServerLoginFormDlg(QWidget* parent = nullptr);

    QString server() const;
    void setServer(const QString& server);
    QString loginId() const;
    void setLoginId(const QString& loginId);
    QString password() const;
    void setPassword(const QString& password);
    // Checked, the login id and password are not used and cannot be
    // entered.
    bool trustedConnection() const;
    void setTrustedConnection(bool trusted);

private:
    QLineEdit* m_server;
    QCheckBox* m_trusted;
    QLineEdit* m_loginId;
    QLineEdit* m_password;
};
