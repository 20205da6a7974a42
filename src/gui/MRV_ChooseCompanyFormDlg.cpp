#include "gui/MRV_ChooseCompanyFormDlg.h"

#include "di/MRV_Util.h"
#include "gui/MRV_ServerLoginFormDlg.h"
#include "host/objects/LLCompany.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// A cell of the list: versions sort as numbers (880202 before 1000000),
// names without regard to case.
class CompanyCell : public QStandardItem {
public:
    CompanyCell(const QString& text, bool numeric) : QStandardItem(text), m_numeric(numeric) {
        setEditable(false);
    }
    bool operator<(const QStandardItem& other) const override {
        if (m_numeric) {
            bool mine = false;
            bool theirs = false;
            const qlonglong a = text().toLongLong(&mine);
            const qlonglong b = other.text().toLongLong(&theirs);
            if (mine && theirs)
                return a < b;
            if (mine != theirs)
                return mine; // a number before a text that is none
        }
        return text().compare(other.text(), Qt::CaseInsensitive) < 0;
    }

private:
    bool m_numeric;
};

} // namespace

MRV_ChooseCompanyFormDlg::MRV_ChooseCompanyFormDlg(MRV_ConnectionContext& context,
                                                   MRV_ConnectionContext::CompanyPtr& company,
                                                   QWidget* parent)
    : MRV_Dialog(2042, parent), m_context(context), m_company(company) {
    CLogBase log(u"MRV", u"MRV_ChooseCompanyFormDlg::OnInitDialog");
    if (!m_company)
        MRV_ConnectionContext::CreateCompanyInstance(m_company);
    if (m_company && m_company->Connected()) {
        // A company in use, perhaps the logged-in one: it is not touched.
        if (SUCCEEDED(MRV_ConnectionContext::CreateCompanyInstance(m_work))) {
            takeServerLogin(*m_work, *m_company);
            m_work->CompanyDB = m_company->CompanyDB;
            m_work->UserName = m_company->UserName;
            m_work->Password = m_company->Password;
        }
    } else {
        m_work = m_company;
    }

    auto* userLabel = control<QLabel>(1022, 2043);
    m_user = control<QLineEdit>(1023, 2043);
    auto* passwordLabel = control<QLabel>(1024, 2044);
    m_password = control<QLineEdit>(1025, 2044);
    m_password->setEchoMode(QLineEdit::Password);
    auto* other = control<QPushButton>(1026, 2045);
    auto* serverLabel = control<QLabel>(1027, 2048);
    m_serverType = control<QComboBox>(1028, 2048);
    m_server = control<QLineEdit>(1029, 2048);
    m_server->setReadOnly(true);
    auto* change = control<QPushButton>(1030, 2046);
    auto* listLabel = control<QLabel>(1031, 2049);
    m_list = control<QTableView>(1032, 2049);
    auto* refresh = control<QPushButton>(1033, 2047);
    userLabel->setBuddy(m_user);
    passwordLabel->setBuddy(m_password);
    serverLabel->setBuddy(m_serverType);
    listLabel->setBuddy(m_list);

    m_serverType->addItem(text(306), 1);
    m_serverType->addItem(QStringLiteral("MSSQL2005"), 4);
    m_serverType->addItem(QStringLiteral("MSSQL2008"), 6);
    m_serverType->addItem(text(307), 2);

    m_rows = new QStandardItemModel(0, 3, this);
    m_rows->setHorizontalHeaderLabels({text(2051), text(2050), text(2052)});
    m_list->setModel(m_rows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->horizontalHeader()->setSectionsClickable(true);
    m_list->horizontalHeader()->setSortIndicatorShown(false);
    m_list->setMinimumSize(fontMetrics().averageCharWidth() * 60, fontMetrics().height() * 10);

    auto* grid = new QGridLayout;
    grid->addWidget(userLabel, 0, 0);
    grid->addWidget(m_user, 0, 1, 1, 2);
    grid->addWidget(passwordLabel, 1, 0);
    grid->addWidget(m_password, 1, 1, 1, 2);
    grid->addWidget(other, 1, 3);
    grid->addWidget(serverLabel, 2, 0);
    grid->addWidget(m_serverType, 2, 1);
    grid->addWidget(m_server, 2, 2);
    grid->addWidget(change, 2, 3);
    grid->setColumnStretch(2, 1);
    QLayout* buttons = buttonRow(refresh);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(listLabel);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(other, &QPushButton::clicked, this, [this] {
        m_user->clear();
        m_password->clear();
        m_user->setFocus();
    });
    connect(change, &QPushButton::clicked, this, [this] {
        if (serverLogin())
            loadList();
    });
    connect(refresh, &QPushButton::clicked, this, [this] {
        if (m_listLoaded || serverLogin())
            loadList();
    });
    connect(m_serverType, &QComboBox::activated, this, &MRV_ChooseCompanyFormDlg::serverTypeChosen);
    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &MRV_ChooseCompanyFormDlg::sortBy);
    connect(m_list, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            accept();
    });

    if (m_work) {
        // Without a server of its own, the company is looked for on the
        // logged-in company's: most companies are chosen there.
        if (m_work->Server.isEmpty() && m_context.company)
            takeServerLogin(*m_work, *m_context.company);
        if (m_work->UserName.isEmpty() && m_context.company)
            m_work->UserName = m_context.company->UserName;

        selectServerType(MRV_Util::DbServerType(*m_work));
        m_server->setText(m_work->Server);
        m_user->setText(m_work->UserName);
        QString password = m_work->Password;
        if (password.isEmpty() && m_work->UserName == QStringView(DefaultUser))
            password = m_work->UserName;
        m_password->setText(password);
        // Without a server there is nothing to list yet: the user names
        // one with Change or Refresh.
        if (!m_work->Server.isEmpty())
            loadList();
    } else {
        log.LogError(u"No company object to fill");
    }
    finish();
}

MRV_ChooseCompanyFormDlg::~MRV_ChooseCompanyFormDlg() = default;

void MRV_ChooseCompanyFormDlg::takeServerLogin(LLObjectsCOM::Company& to,
                                               const LLObjectsCOM::Company& from) {
    to.Server = from.Server;
    to.DbServerType = from.DbServerType;
    to.UseTrusted = from.UseTrusted;
    to.DbUserName = from.DbUserName;
    to.DbPassword = from.DbPassword;
}

void MRV_ChooseCompanyFormDlg::selectServerType(int type) {
    m_serverType->setCurrentIndex(m_serverType->findData(type));
}

void MRV_ChooseCompanyFormDlg::serverTypeChosen(int index) {
    if (initializing() || !m_work)
        return;
    m_work->DbServerType = m_serverType->itemData(index).toInt();
    // The companies listed were those of the type before.
    if (m_listLoaded) {
        serverLogin();
        loadList();
    }
}

bool MRV_ChooseCompanyFormDlg::serverLogin() {
    if (!m_work)
        return false;
    MRV_ServerLoginFormDlg login(this);
    login.setServer(m_work->Server);
    login.setLoginId(m_work->DbUserName);
    login.setPassword(m_work->DbPassword);
    login.setTrustedConnection(m_work->UseTrusted);
    if (login.exec() != QDialog::Accepted)
        return false;
    m_work->Server = login.server();
    m_work->DbUserName = login.loginId();
    m_work->DbPassword = login.password();
    m_work->UseTrusted = login.trustedConnection();
    m_server->setText(m_work->Server);
    return true;
}

void MRV_ChooseCompanyFormDlg::loadList() {
    CLogBase log(u"MRV", u"MRV_ChooseCompanyFormDlg::FillCompanyList");
    m_rows->removeRows(0, m_rows->rowCount());
    m_listLoaded = false;
    if (!m_work)
        return;
    QList<QStringList> companies;
    {
        MRV_WaitCursor wait;
        if (FAILED(MRV_Util::GetCompanyList(*m_work, companies, true)))
            return; // shown with the host's reason
    }
    for (const QStringList& company : companies) {
        // The host gives database name, company name and version.
        m_rows->appendRow({new CompanyCell(company.value(1), false),
                           new CompanyCell(company.value(0), false),
                           new CompanyCell(company.value(2), true)});
    }
    m_listLoaded = true;
    if (m_sortColumn >= 0)
        m_rows->sort(m_sortColumn, m_sortOrder);
    // The company the object names is the one most likely wanted again.
    const QList<QStandardItem*> named =
        m_rows->findItems(m_work->CompanyDB, Qt::MatchFixedString, DatabaseNameColumn);
    if (!m_work->CompanyDB.isEmpty() && !named.isEmpty())
        MRV_selectRow(m_list, named.first()->row());
    m_list->resizeColumnsToContents();
}

void MRV_ChooseCompanyFormDlg::sortBy(int column) {
    m_sortOrder = column == m_sortColumn && m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                              : Qt::AscendingOrder;
    m_sortColumn = column;
    m_list->horizontalHeader()->setSortIndicatorShown(true);
    m_list->horizontalHeader()->setSortIndicator(column, m_sortOrder);
    m_rows->sort(column, m_sortOrder);
}

void MRV_ChooseCompanyFormDlg::accept() {
    CLogBase log(u"MRV", u"MRV_ChooseCompanyFormDlg::OnOK");
    MRV_Interaction& ui = MRV_Interaction::current();
    if (!m_listLoaded || !m_work) {
        ui.error(text(10028), false);
        return;
    }
    if (m_user->text().isEmpty() && m_password->text().isEmpty()) {
        m_user->setText(QString::fromUtf16(DefaultUser));
        m_password->setText(QString::fromUtf16(DefaultUser));
    }
    const QModelIndexList selected = m_list->selectionModel()->selectedRows(DatabaseNameColumn);
    if (selected.isEmpty()) {
        ui.error(text(10028), false);
        return;
    }
    LLObjectsCOM::Company& candidate = *m_work;
    candidate.CompanyDB = selected.first().data().toString();
    candidate.UserName = m_user->text();
    candidate.Password = m_password->text();
    {
        MRV_WaitCursor wait;
        // Connect shows the host's reason when it fails.
        if (MRV_Util::Connect(candidate, m_context) != S_OK || !candidate.Connected())
            return;
    }
    bool superUser = false;
    MRV_Util::CheckSuperUser(candidate, superUser);
    if (!superUser) {
        log.LogError(u"User '%s' is not a superuser of '%s'", candidate.UserName,
                     candidate.CompanyDB);
        MRV_Util::Disconnect(candidate);
        CTSBSTR message(language());
        message.FormatId(10035, candidate.UserName);
        ui.error(message, false);
        return;
    }
    if (m_company != m_work)
        m_company = m_work; // the company used before goes with its last user
    QDialog::accept();
}
