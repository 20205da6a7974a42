#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
namespace LLObjectsCOM {
class Company;
}

// The client's log-in: a server (a folder, a registered name or the local
// server), one of its companies, the user code and password. OK logs in
// through the host, which checks user and password; a refusal shows the
// host's reason and the dialog stays.
class LLLoginDialog : public QDialog {
    Q_OBJECT
public:
    // server empty: the local server. database picks that company when the
    // server has it.
    explicit LLLoginDialog(const QString& server = {}, const QString& database = {},
                           const QString& user = {}, const QString& password = {},
                           QWidget* parent = nullptr);
    ~LLLoginDialog() override;

    // The company logged in to, once accepted.
    std::shared_ptr<LLObjectsCOM::Company> company() const { return m_company; }
    // The reason shown for the last refusal; empty when none.
    QString error() const;

public slots:
    // Lists the companies of the server named, or says why it cannot.
    void listCompanies();
    void accept() override;

private:
    void showError(const QString& text);

    QComboBox* m_server = nullptr;
    QLabel* m_folder = nullptr;
    QTreeWidget* m_companies = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QLabel* m_error = nullptr;
    QString m_wantedDatabase;
    std::shared_ptr<LLObjectsCOM::Company> m_company;
};
