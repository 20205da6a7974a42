#include "gui/MRV_CopyOptionsFormDlg.h"

#include "di/MRV_ConnectionContext.h"
#include "di/MRV_SettingsManager.h"
#include "interaction/MRV_Interaction.h"
#include "tsframework/CLogBase.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

MRV_CopyOptionsFormDlg::MRV_CopyOptionsFormDlg(MRV_ConnectionContext& context, QWidget* parent)
    : MRV_Dialog(2020, parent), m_context(context),
      m_settings(std::make_unique<MRV_SettingsManager>(&context)) {
    if (const HRESULT hr = m_settings->getSettingsFromDatabase(); FAILED(hr)) {
        m_unreadable = true;
        CLogBase(u"MRV", u"MRV_CopyOptionsFormDlg::MRV_CopyOptionsFormDlg")
            .LogError(u"Failed to read the stored settings, HRESULT = 0x%X", hr);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(control<QLabel>(1036, 2021));
    auto* methods = new QButtonGroup(this);
    const std::pair<int, quint32> methodControls[] = {
        {1037, 2022}, {1038, 2023}, {1039, 2024}, {1182, 2025}};
    int method = 1;
    for (const auto& [id, textId] : methodControls) {
        auto* radio = control<QRadioButton>(id, textId);
        methods->addButton(radio);
        m_methods.append({radio, method++});
        layout->addWidget(radio);
    }

    auto* responseLabel = control<QLabel>(1041, 2026);
    m_response = control<QComboBox>(1042, 2026);
    responseLabel->setBuddy(m_response);
    for (const auto& [textId, value] : {std::pair<quint32, int>{2029, 0}, {2028, 1}, {2027, 2}})
        m_response->addItem(text(textId), value);
    auto* responseRow = new QFormLayout;
    responseRow->addRow(responseLabel, m_response);
    layout->addLayout(responseRow);

    m_ignoreMissingUdf = control<QCheckBox>(1043, 2030);
    m_forceBackup = control<QCheckBox>(1076, 217);
    layout->addWidget(m_ignoreMissingUdf);
    layout->addWidget(m_forceBackup);

    layout->addWidget(control<QLabel>(1040, 2058));
    auto* folders = new QGridLayout;
    const struct {
        int label, edit, button;
        quint32 textId;
        QLineEdit** field;
    } folderControls[] = {{1044, 1045, 1046, 2005, &m_configurationFolder},
                          {1047, 1048, 1049, 2006, &m_worksheetFolder},
                          {1050, 1051, 1052, 2007, &m_logFileFolder}};
    int row = 0;
    for (const auto& f : folderControls) {
        auto* label = control<QLabel>(f.label, f.textId);
        auto* edit = control<QLineEdit>(f.edit, f.textId);
        edit->setReadOnly(true);
        edit->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
        label->setBuddy(edit);
        auto* browse = control<QPushButton>(f.button, 8);
        browse->setAccessibleDescription(label->text());
        connect(browse, &QPushButton::clicked, this, [this, edit] { browseForFolder(edit); });
        folders->addWidget(label, row, 0);
        folders->addWidget(edit, row, 1);
        folders->addWidget(browse, row, 2);
        *f.field = edit;
        ++row;
    }
    folders->setColumnStretch(1, 1);
    layout->addLayout(folders);
    layout->addWidget(okCancel());
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    for (const auto& [radio, value] : m_methods)
        radio->setChecked(value == context.copyMethod);
    m_response->setCurrentIndex(m_response->findData(context.responseToFailure));
    m_ignoreMissingUdf->setChecked(context.ignoreMissingUdf);
    m_forceBackup->setChecked(context.forceBackup);
    m_storedFolders[0] = m_settings->configurationFolder();
    m_storedFolders[1] = m_settings->worksheetFolder();
    m_storedFolders[2] = m_settings->logFileFolder();
    m_configurationFolder->setText(m_storedFolders[0]);
    m_worksheetFolder->setText(m_storedFolders[1]);
    m_logFileFolder->setText(m_storedFolders[2]);
    finish();
}

MRV_CopyOptionsFormDlg::~MRV_CopyOptionsFormDlg() = default;

MRV_CopyOptionsFormDlg::Choices MRV_CopyOptionsFormDlg::getChanges() const {
    CLogBase log(u"MRV", u"MRV_CopyOptionsFormDlg::GetChanges");
    Choices choices;
    for (const auto& [radio, value] : m_methods)
        if (radio->isChecked())
            choices.copyMethod = value;
    const QVariant response = m_response->currentData();
    choices.response = response.isValid() ? response.toInt() : -1;
    choices.ignoreMissingUdf = m_ignoreMissingUdf->isChecked();
    choices.forceBackup = m_forceBackup->isChecked();
    choices.configurationFolder = m_configurationFolder->text();
    choices.worksheetFolder = m_worksheetFolder->text();
    choices.logFileFolder = m_logFileFolder->text();
    return choices;
}

MRV_CopyOptionsFormDlg::Choices MRV_CopyOptionsFormDlg::stored() const {
    return {m_context.copyMethod,  m_context.responseToFailure, m_context.ignoreMissingUdf,
            m_context.forceBackup, m_storedFolders[0],          m_storedFolders[1],
            m_storedFolders[2]};
}

bool MRV_CopyOptionsFormDlg::save(const Choices& choices) {
    CLogBase log(u"MRV", u"MRV_CopyOptionsFormDlg::saveChanges");
    MRV_Interaction& ui = MRV_Interaction::current();
    if (m_unreadable) {
        // Saving would put empty folders over the stored ones.
        log.LogError(u"The stored settings could not be read: they are not replaced");
        ui.error(text(10004), false);
        return false;
    }
    m_settings->setCopyMethod(choices.copyMethod);
    m_settings->setResponseToFailure(choices.response);
    m_settings->setIgnoreMissingUdf(choices.ignoreMissingUdf);
    m_settings->setForceBackup(choices.forceBackup);
    m_settings->setConfigurationFolder(choices.configurationFolder);
    m_settings->setWorksheetFolder(choices.worksheetFolder);
    m_settings->setLogFileFolder(choices.logFileFolder);
    if (const HRESULT hr = m_settings->saveSettingsToDatabase(); FAILED(hr)) {
        // Neither the context nor the table changes; the dialog stays, so
        // the user can try again or cancel.
        log.LogError(u"Failed to save the settings, HRESULT = 0x%X", hr);
        ui.error(text(10004), false);
        return false;
    }
    m_context.copyMethod = choices.copyMethod;
    m_context.responseToFailure = choices.response;
    m_context.ignoreMissingUdf = choices.ignoreMissingUdf;
    m_context.forceBackup = choices.forceBackup;
    ui.success(false);
    return true;
}

void MRV_CopyOptionsFormDlg::accept() {
    const Choices choices = getChanges();
    if (choices == stored()) {
        QDialog::reject();
        return;
    }
    if (save(choices))
        QDialog::accept();
}

void MRV_CopyOptionsFormDlg::reject() {
    const Choices choices = getChanges();
    if (choices == stored()) {
        QDialog::reject();
        return;
    }
    switch (MRV_Interaction::current().question(text(10002), true, 2)) {
    case MRV_Interaction::ButtonYes:
        if (save(choices))
            QDialog::accept();
        break;
    case MRV_Interaction::ButtonNo:
        QDialog::reject();
        break;
    default: // Cancel: the user goes on with the dialog
        break;
    }
}

void MRV_CopyOptionsFormDlg::browseForFolder(QLineEdit* edit) {
    CLogBase log(u"MRV", u"MRV_CopyOptionsFormDlg::BrowseForFolder");
    const QString folder = MRV_Interaction::current().chooseFolder(text(401), edit->text());
    if (!folder.isEmpty())
        edit->setText(folder);
}
