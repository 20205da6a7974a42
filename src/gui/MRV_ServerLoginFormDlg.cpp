#include "gui/MRV_ServerLoginFormDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

MRV_ServerLoginFormDlg::MRV_ServerLoginFormDlg(QWidget* parent) : MRV_Dialog(2053, parent) {
    auto* serverLabel = control<QLabel>(1027, 2054);
    m_server = control<QLineEdit>(1029, 2054);
    m_trusted = control<QCheckBox>(1034, 2055);
    auto* loginLabel = control<QLabel>(1028, 2056);
    m_loginId = control<QLineEdit>(1030, 2056);
    auto* passwordLabel = control<QLabel>(1031, 2057);
    m_password = control<QLineEdit>(1025, 2057);
    m_password->setEchoMode(QLineEdit::Password);
    serverLabel->setBuddy(m_server);
    loginLabel->setBuddy(m_loginId);
    passwordLabel->setBuddy(m_password);

    auto* form = new QFormLayout;
    form->addRow(serverLabel, m_server);
    form->addRow(m_trusted);
    form->addRow(loginLabel, m_loginId);
    form->addRow(passwordLabel, m_password);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel());
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    m_server->setMinimumWidth(fontMetrics().averageCharWidth() * 32);

    connect(m_trusted, &QCheckBox::toggled, this, [this](bool trusted) {
        m_loginId->setEnabled(!trusted);
        m_password->setEnabled(!trusted);
    });
    finish();
}

QString MRV_ServerLoginFormDlg::server() const {
    return m_server->text().trimmed();
}

void MRV_ServerLoginFormDlg::setServer(const QString& server) {
    m_server->setText(server);
}

QString MRV_ServerLoginFormDlg::loginId() const {
    return m_loginId->text();
}

void MRV_ServerLoginFormDlg::setLoginId(const QString& loginId) {
    m_loginId->setText(loginId);
}

QString MRV_ServerLoginFormDlg::password() const {
    return m_password->text();
}

void MRV_ServerLoginFormDlg::setPassword(const QString& password) {
    m_password->setText(password);
}

bool MRV_ServerLoginFormDlg::trustedConnection() const {
    return m_trusted->isChecked();
}

void MRV_ServerLoginFormDlg::setTrustedConnection(bool trusted) {
    m_trusted->setChecked(trusted);
}
