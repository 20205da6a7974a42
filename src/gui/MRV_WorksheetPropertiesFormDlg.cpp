#include "gui/MRV_WorksheetPropertiesFormDlg.h"

#include "config/MRV_ConfigurationManager.h"
#include "config/MRV_CopyFlow.h"
#include "di/MRV_SettingsManager.h"
#include "di/MRV_Util.h"
#include "gui/MRV_ChooseCompanyFormDlg.h"
#include "gui/MRV_CopyOptionsFormDlg.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLCompany.h"
#include "host/objects/LLRecordset.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"
#include "tsframework/CTSBSTR.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

bool connected(const MRV_ConnectionContext::CompanyPtr& company) {
    return company && company->Connected();
}

// The name a company is shown with: the one the context keeps for it, or
// the connected company's own.
QString shownName(const MRV_ConnectionContext::CompanyPtr& company, const QString& kept) {
    if (!kept.isEmpty())
        return kept;
    return connected(company) ? company->CompanyName() : QString();
}

} // namespace

MRV_WorksheetPropertiesFormDlg::MRV_WorksheetPropertiesFormDlg(MRV_ConnectionContext& context,
                                                               bool worksheetHasBase,
                                                               QWidget* parent)
    : MRV_Dialog(2008, parent), m_context(context), m_worksheetHasBase(worksheetHasBase),
      m_openedWithCompany(context.baseCompany || context.baseFilePath.isEmpty()),
      m_openedBase(context.baseCompany), m_openedBaseFile(context.baseFilePath),
      m_baseCompany(context.baseCompany),
      m_baseCompanyName(shownName(context.baseCompany, context.baseCompanyName)),
      m_baseFile(context.baseFilePath), m_targetCompany(context.targetCompany),
      m_targetCompanyName(shownName(context.targetCompany, context.targetCompanyName)) {
    auto* baseLabel = control<QLabel>(902, 2009);
    m_baseCompanyRadio = control<QRadioButton>(1011, 2010);
    m_baseCompanyEdit = control<QLineEdit>(1013, 2010);
    m_baseCompanyButton = control<QPushButton>(1015, 8);
    m_baseFileRadio = control<QRadioButton>(1012, 2011);
    m_baseFileEdit = control<QLineEdit>(1014, 2011);
    m_baseFileButton = control<QPushButton>(1016, 8);
    auto* targetLabel = control<QLabel>(904, 2012);
    auto* targetCompanyLabel = control<QLabel>(1021, 2013);
    m_targetCompanyEdit = control<QLineEdit>(1017, 2013);
    auto* targetCompanyButton = control<QPushButton>(1019, 8);
    auto* targetFileLabel = control<QLabel>(1022, 2014);
    m_targetFileEdit = control<QLineEdit>(1018, 2014);
    auto* targetFileButton = control<QPushButton>(1020, 8);
    auto* options = control<QPushButton>(1035, 2015);
    m_baseCompanyEdit->setReadOnly(true);
    m_baseFileEdit->setReadOnly(true);
    // A company is chosen, never typed; a file to write may be typed.
    m_targetCompanyEdit->setReadOnly(true);
    targetCompanyLabel->setBuddy(m_targetCompanyEdit);
    targetFileLabel->setBuddy(m_targetFileEdit);
    m_baseCompanyButton->setAccessibleDescription(m_baseCompanyRadio->accessibleName());
    m_baseFileButton->setAccessibleDescription(m_baseFileRadio->accessibleName());
    targetCompanyButton->setAccessibleDescription(targetCompanyLabel->accessibleName());
    targetFileButton->setAccessibleDescription(targetFileLabel->accessibleName());
    auto* baseKind = new QButtonGroup(this);
    baseKind->addButton(m_baseCompanyRadio);
    baseKind->addButton(m_baseFileRadio);

    auto* grid = new QGridLayout;
    grid->addWidget(baseLabel, 0, 0, 1, 3);
    grid->addWidget(m_baseCompanyRadio, 1, 0);
    grid->addWidget(m_baseCompanyEdit, 1, 1);
    grid->addWidget(m_baseCompanyButton, 1, 2);
    grid->addWidget(m_baseFileRadio, 2, 0);
    grid->addWidget(m_baseFileEdit, 2, 1);
    grid->addWidget(m_baseFileButton, 2, 2);
    grid->addWidget(targetLabel, 3, 0, 1, 3);
    grid->addWidget(targetCompanyLabel, 4, 0);
    grid->addWidget(m_targetCompanyEdit, 4, 1);
    grid->addWidget(targetCompanyButton, 4, 2);
    grid->addWidget(targetFileLabel, 5, 0);
    grid->addWidget(m_targetFileEdit, 5, 1);
    grid->addWidget(targetFileButton, 5, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, fontMetrics().averageCharWidth() * 48);
    QLayout* buttons = buttonRow(options);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    (m_openedWithCompany ? m_baseCompanyRadio : m_baseFileRadio)->setChecked(true);
    m_baseCompanyEdit->setText(m_baseCompanyName);
    m_baseFileEdit->setText(m_baseFile);
    m_targetCompanyEdit->setText(m_targetCompanyName);
    m_targetFileEdit->setText(context.targetFilePath);
    updateBaseFields();

    connect(m_baseCompanyRadio, &QRadioButton::toggled, this,
            &MRV_WorksheetPropertiesFormDlg::updateBaseFields);
    connect(m_baseCompanyButton, &QPushButton::clicked, this, [this] {
        if (!chooseCompany(m_baseCompany))
            return;
        m_baseCompanyName = m_baseCompany->CompanyName();
        m_baseCompanyEdit->setText(m_baseCompanyName);
    });
    connect(m_baseFileButton, &QPushButton::clicked, this,
            &MRV_WorksheetPropertiesFormDlg::chooseBaseFile);
    connect(targetCompanyButton, &QPushButton::clicked, this, [this] {
        if (!chooseCompany(m_targetCompany))
            return;
        m_targetCompanyName = m_targetCompany->CompanyName();
        m_targetCompanyEdit->setText(m_targetCompanyName);
    });
    connect(targetFileButton, &QPushButton::clicked, this,
            &MRV_WorksheetPropertiesFormDlg::chooseTargetFile);
    connect(options, &QPushButton::clicked, this,
            [this] { MRV_CopyOptionsFormDlg(m_context, this).exec(); });

    storeBackupDefault();
    finish();
}

MRV_WorksheetPropertiesFormDlg::~MRV_WorksheetPropertiesFormDlg() = default;

bool MRV_WorksheetPropertiesFormDlg::baseIsCompany() const {
    return m_baseCompanyRadio->isChecked();
}

void MRV_WorksheetPropertiesFormDlg::updateBaseFields() {
    const bool company = baseIsCompany();
    m_baseCompanyEdit->setEnabled(company);
    m_baseCompanyButton->setEnabled(company);
    m_baseFileEdit->setEnabled(!company);
    m_baseFileButton->setEnabled(!company);
}

void MRV_WorksheetPropertiesFormDlg::storeBackupDefault() {
    CLogBase log(u"MRV", u"MRV_WorksheetPropertiesFormDlg::storeBackupDefault");
    if (!m_context.company) {
        log.LogError(u"No logged-in company to store the backup default in");
        return;
    }
    LLObjectsCOM::Company& company = *m_context.company;
    const int type = MRV_Util::DbServerType(company);
    const QString sql = MRV_Util::IsOutsideMsSql(type)
                            ? QStringLiteral("UPDATE @MRVSETT SET U_FBACKUP = 'N'")
                            : QStringLiteral("UPDATE [@MRVSETT] SET U_FBACKUP = 'Y'");
    try {
        MRV_Util::RunSql(company, sql, log);
    } catch (const ComError& e) {
        log.LogError(u"Failed to store the force-backup default: %s", e.errorMessage());
        MRV_Util::LogLastError(company, log);
    }
}

bool MRV_WorksheetPropertiesFormDlg::chooseCompany(MRV_ConnectionContext::CompanyPtr& slot) {
    // A cancelled choice leaves the slot as it was: the dialog fills an
    // unconnected company in place, so it gets one of its own.
    MRV_ConnectionContext::CompanyPtr chosen;
    if (connected(slot)) {
        chosen = slot;
    } else if (slot && SUCCEEDED(MRV_ConnectionContext::CreateCompanyInstance(chosen))) {
        MRV_ChooseCompanyFormDlg::takeServerLogin(*chosen, *slot);
        chosen->CompanyDB = slot->CompanyDB;
        chosen->UserName = slot->UserName;
        chosen->Password = slot->Password;
    }
    MRV_ChooseCompanyFormDlg dialog(m_context, chosen, this);
    if (dialog.exec() != QDialog::Accepted || !connected(chosen))
        return false;
    slot = chosen;
    return true;
}

QString MRV_WorksheetPropertiesFormDlg::configurationFolder(const QString& current) const {
    if (!current.isEmpty())
        return QFileInfo(current).absolutePath();
    MRV_SettingsManager settings(&m_context);
    return settings.getSettingsFromDatabase() == S_OK ? settings.configurationFolder() : QString();
}

void MRV_WorksheetPropertiesFormDlg::chooseBaseFile() {
    const QString path = MRV_Interaction::current().chooseOpenFile(
        text(2032), configurationFolder(m_baseFile), text(2031));
    if (path.isEmpty())
        return;
    m_baseFile = path;
    m_baseFileEdit->setText(path);
}

QString MRV_WorksheetPropertiesFormDlg::proposedTargetFile() const {
    QString name = baseIsCompany() ? m_baseCompanyName : QFileInfo(m_baseFile).completeBaseName();
    for (const QChar c : QStringView(u"\\/:*<>?\""))
        name.remove(c);
    const QString file = CTSBSTR().Format(u"%s_config.xml", name);
    const QString folder = configurationFolder(m_targetFileEdit->text().trimmed());
    return folder.isEmpty() ? file : QDir(folder).filePath(file);
}

void MRV_WorksheetPropertiesFormDlg::chooseTargetFile() {
    QString path =
        MRV_Interaction::current().chooseSaveFile(text(2033), proposedTargetFile(), text(2031));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".xml");
    m_targetFileEdit->setText(path);
}

bool MRV_WorksheetPropertiesFormDlg::readBase(int& version, QString& localization) const {
    if (baseIsCompany()) {
        version = m_baseCompany->Version();
        localization = MRV_CopyFlow::localizationOf(*m_baseCompany);
        return true;
    }
    // The header alone, read through a context of its own: the dialog's
    // context changes only after OK.
    MRV_ConnectionContext preview;
    preview.databaseName = m_baseFile;
    MRV_ConfigurationManager configuration(preview);
    if (FAILED(configuration.previewConfiguration()))
        return false; // the reader said what is wrong with the file
    version = configuration.header().dbVersion.trimmed().toInt();
    localization = configuration.header().localization;
    return true;
}

bool MRV_WorksheetPropertiesFormDlg::baseDiffers() const {
    if (baseIsCompany() != m_openedWithCompany)
        return true;
    if (baseIsCompany())
        return !MRV_Util::SameCompany(m_openedBase.get(), m_baseCompany.get());
    return QDir::cleanPath(m_openedBaseFile) != QDir::cleanPath(m_baseFile);
}

void MRV_WorksheetPropertiesFormDlg::accept() {
    CLogBase log(u"MRV", u"MRV_WorksheetPropertiesFormDlg::OnOK");
    MRV_Interaction& ui = MRV_Interaction::current();
    const bool company = baseIsCompany();
    if (company && !connected(m_baseCompany)) {
        ui.error(text(10006));
        return;
    }
    if (!company && m_baseFile.isEmpty()) {
        ui.error(text(10007));
        return;
    }
    // A target company that is not connected was never chosen here: there
    // is nothing to compare it with.
    const bool targetCompany = connected(m_targetCompany);
    if (targetCompany && company &&
        MRV_Util::SameCompany(m_targetCompany.get(), m_baseCompany.get())) {
        ui.error(text(10031));
        return;
    }
    int baseVersion = 0;
    QString baseLocalization;
    if (targetCompany) {
        if (!readBase(baseVersion, baseLocalization))
            return;
        if (!MRV_CopyFlow::releaseFits(baseVersion, m_targetCompany->Version())) {
            log.LogError(u"Base version %d is higher than target version %d", baseVersion,
                         m_targetCompany->Version());
            ui.error(text(10045));
            return;
        }
    }
    const bool changed = baseDiffers();
    if (m_worksheetHasBase && changed &&
        ui.question(text(10032), false, 2) != MRV_Interaction::ButtonYes)
        return;
    if (targetCompany && baseLocalization != MRV_CopyFlow::localizationOf(*m_targetCompany) &&
        ui.question(text(10051), false, 2) != MRV_Interaction::ButtonYes)
        return;
    // A file written from a selection that lacks what it depends on may not
    // copy; a new base drops the selection anyway.
    if (!targetCompany && !m_targetFileEdit->text().isEmpty() && !changed &&
        selectionLacksDependencies && selectionLacksDependencies() &&
        ui.question(text(10053), false, 2) != MRV_Interaction::ButtonYes)
        return;

    if (company) {
        m_context.baseCompany = m_baseCompany;
        m_context.baseCompanyName = m_baseCompanyName;
        m_context.baseFilePath.clear();
        m_context.databaseName = m_baseCompany->CompanyDB;
    } else {
        m_context.baseCompany.reset();
        m_context.baseCompanyName.clear();
        m_context.baseFilePath = m_baseFile;
        // The configuration manager reads a file base from here.
        m_context.databaseName = m_baseFile;
    }
    m_context.targetCompany = m_targetCompany;
    m_context.targetCompanyName = m_targetCompany ? m_targetCompanyName : QString();
    m_context.targetFilePath = m_targetFileEdit->text().trimmed();
    m_baseChanged = changed;
    QDialog::accept();
}
