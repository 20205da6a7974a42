#include "host/client/LLLoginDialog.h"

#include "host/client/LLMnemonic.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLRecordset.h"
#include "host/objects/LLServer.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// A field with its label: the label's mnemonic leads to it, and the field
// is known to assistive tools by the label's text.
QLabel* labelFor(QWidget* field, const QString& text) {
    auto* label = new QLabel(text);
    label->setBuddy(field);
    field->setAccessibleName(LLWithoutMnemonic(text));
    return label;
}

} // namespace

LLLoginDialog::LLLoginDialog(const QString& server, const QString& database, const QString& user,
                             const QString& password, QWidget* parent)
    : QDialog(parent), m_wantedDatabase(database) {
    setObjectName(u"loginDialog"_s);
    setWindowTitle(tr("Log In to a Company"));

    m_server = new QComboBox(this);
    m_server->setObjectName(u"server"_s);
    m_server->setEditable(true);
    m_server->setInsertPolicy(QComboBox::NoInsert);
    for (const auto& [name, folder] : LLObjectsCOM::Server::registeredServers()) {
        m_server->addItem(name);
        m_server->setItemData(m_server->count() - 1, folder, Qt::ToolTipRole);
    }
    m_server->setEditText(server.isEmpty() ? m_server->itemText(0) : server);

    m_folder = new QLabel(this);
    m_folder->setObjectName(u"serverFolder"_s);
    m_folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_folder->setWordWrap(true);

    auto* refresh = new QPushButton(tr("&List Companies"), this);
    refresh->setObjectName(u"listCompanies"_s);
    refresh->setAccessibleName(LLWithoutMnemonic(refresh->text()));
    refresh->setAutoDefault(false);

    m_companies = new QTreeWidget(this);
    m_companies->setObjectName(u"companies"_s);
    m_companies->setColumnCount(2);
    m_companies->setHeaderLabels({tr("Company"), tr("Database")});
    m_companies->setRootIsDecorated(false);
    m_companies->setAllColumnsShowFocus(true);
    m_companies->header()->setSectionResizeMode(0, QHeaderView::Stretch);

    m_user = new QLineEdit(user, this);
    m_user->setObjectName(u"user"_s);
    m_password = new QLineEdit(password, this);
    m_password->setObjectName(u"password"_s);
    m_password->setEchoMode(QLineEdit::Password);

    m_error = new QLabel(this);
    m_error->setObjectName(u"loginError"_s);
    m_error->setWordWrap(true);
    m_error->setStyleSheet(u"color: #b00020; font-weight: bold;"_s);
    m_error->setTextFormat(Qt::PlainText);
    m_error->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    for (QAbstractButton* button : buttons->buttons())
        button->setAccessibleName(LLWithoutMnemonic(button->text()));

    auto* serverRow = new QHBoxLayout;
    serverRow->addWidget(m_server, 1);
    serverRow->addWidget(refresh);
    auto* form = new QFormLayout;
    form->addRow(labelFor(m_server, tr("&Server:")), serverRow);
    form->addRow(QString(), m_folder);
    form->addRow(labelFor(m_companies, tr("Co&mpany:")), m_companies);
    form->addRow(labelFor(m_user, tr("&User:")), m_user);
    form->addRow(labelFor(m_password, tr("&Password:")), m_password);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_error);
    layout->addWidget(buttons);

    connect(refresh, &QPushButton::clicked, this, &LLLoginDialog::listCompanies);
    connect(m_server, &QComboBox::activated, this, &LLLoginDialog::listCompanies);
    connect(m_server->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        // Leaving the field after changing it lists the new server's.
        if (m_server->currentText().trimmed() != m_folder->property("server").toString())
            listCompanies();
    });
    connect(m_companies, &QTreeWidget::itemDoubleClicked, this, [this] { m_user->setFocus(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &LLLoginDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LLLoginDialog::reject);

    listCompanies();
    if (m_companies->topLevelItemCount() == 0)
        m_server->setFocus();
    else if (user.isEmpty())
        m_user->setFocus();
    else
        m_password->setFocus();
}

LLLoginDialog::~LLLoginDialog() = default;

QString LLLoginDialog::error() const {
    return m_error->text();
}

void LLLoginDialog::showError(const QString& text) {
    m_error->setText(text);
    m_error->setVisible(!text.isEmpty());
}

void LLLoginDialog::listCompanies() {
    const QString server = m_server->currentText().trimmed();
    // The database chosen so far is kept across a new listing.
    if (QTreeWidgetItem* current = m_companies->currentItem())
        m_wantedDatabase = current->text(1);
    m_companies->clear();
    m_folder->setProperty("server", server);
    QString why;
    const std::optional<LLObjectsCOM::Server> found = LLObjectsCOM::Server::find(server, &why);
    m_folder->setText(found ? found->folder() : why);
    if (!found) {
        showError(tr("The server '%1' cannot be reached: %2").arg(server, why));
        return;
    }
    LLObjectsCOM::Company lister;
    lister.Server = server;
    lister.UseTrusted = true;
    try {
        const std::unique_ptr<LLObjectsCOM::Recordset> list = lister.GetCompanyList();
        for (list->MoveFirst(); !list->EoF(); list->MoveNext()) {
            auto* item = new QTreeWidgetItem(m_companies, {list->Field(u"cmpName"_s).toString(),
                                                           list->Field(u"dbName"_s).toString()});
            item->setToolTip(0, tr("Version %1").arg(list->Field(u"versStr"_s).toString()));
            if (item->text(1).compare(m_wantedDatabase, Qt::CaseInsensitive) == 0)
                m_companies->setCurrentItem(item);
        }
    } catch (const ComError& e) {
        showError(tr("The companies of '%1' cannot be listed: %2").arg(server, e.description()));
        return;
    }
    if (m_companies->topLevelItemCount() == 0) {
        showError(tr("The server '%1' has no companies").arg(server));
        return;
    }
    if (!m_companies->currentItem())
        m_companies->setCurrentItem(m_companies->topLevelItem(0));
    showError(QString());
}

void LLLoginDialog::accept() {
    QTreeWidgetItem* chosen = m_companies->currentItem();
    if (!chosen) {
        showError(tr("Choose a company to log in to"));
        m_companies->setFocus();
        return;
    }
    auto company = std::make_shared<LLObjectsCOM::Company>();
    company->Server = m_server->currentText().trimmed();
    company->CompanyDB = chosen->text(1);
    company->UserName = m_user->text().trimmed();
    company->Password = m_password->text();
    company->UseTrusted = true;
    int status = company->Connect();
    // A first password somebody else chose: the user sets an own one now.
    if (status == LLObjectsCOM::errPasswordMustChange) {
        bool given = false;
        const QString chosen =
            QInputDialog::getText(this, tr("New Password"),
                                  tr("%1\nNew password (at least %2 characters):")
                                      .arg(company->GetLastErrorDescription())
                                      .arg(LLObjectsCOM::Company::MinimumPasswordLength),
                                  QLineEdit::Password, QString(), &given);
        if (!given)
            return;
        const QString again =
            QInputDialog::getText(this, tr("New Password"), tr("The new password once more:"),
                                  QLineEdit::Password, QString(), &given);
        if (!given)
            return;
        if (again != chosen) {
            showError(tr("The two new passwords differ"));
            return;
        }
        company->NewPassword = chosen;
        status = company->Connect();
    }
    if (status != 0) {
        showError(company->GetLastErrorDescription());
        m_password->selectAll();
        m_password->setFocus();
        return;
    }
    m_company = std::move(company);
    showError(QString());
    QDialog::accept();
}
