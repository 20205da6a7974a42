#pragma once

#include <functional>

#include "di/MRV_ConnectionContext.h"
#include "gui/MRV_Dialog.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

// Base and target of a worksheet. The base is a company or a configuration
// file; the target a company, a configuration file to write, or both. The
// choices go into the connection context only when OK passes its checks:
// a base is named, the target is another company than the base, its
// release is not below the base's, the user agrees to lose the selection
// when the base of a worksheet changes and to copy across localizations.
class MRV_WorksheetPropertiesFormDlg : public MRV_Dialog {
public:
    // worksheetHasBase: the dialog edits an open worksheet, whose
    // selection is lost when its base changes.
    MRV_WorksheetPropertiesFormDlg(MRV_ConnectionContext& context, bool worksheetHasBase,
                                   QWidget* parent = nullptr);
    ~MRV_WorksheetPropertiesFormDlg() override;

    void accept() override;

    // Whether the open worksheet's selection holds categories without the
    // ones they depend on; unset for a new worksheet.
    std::function<bool()> selectionLacksDependencies;

    // After OK: the base is another than the one the dialog opened with.
    bool baseChanged() const { return m_baseChanged; }

private:
    bool baseIsCompany() const;
    void updateBaseFields();
    // The force-backup default of the settings table: a backup can be
    // checked on MSSQL databases only.
    void storeBackupDefault();
    // Runs the choose-company dialog on slot's company; true after OK.
    bool chooseCompany(MRV_ConnectionContext::CompanyPtr& slot);
    void chooseBaseFile();
    void chooseTargetFile();
    // Where configuration files are looked for: the folder of current, else
    // the stored configuration folder.
    QString configurationFolder(const QString& current) const;
    // "<base name>_config.xml" without the characters a file name cannot
    // hold.
    QString proposedTargetFile() const;
    // The base's version and localization: its company's, or those in the
    // header of its file. False (the user told) when the file's header
    // cannot be read.
    bool readBase(int& version, QString& localization) const;
    bool baseDiffers() const;

    MRV_ConnectionContext& m_context;
    const bool m_worksheetHasBase;
    bool m_baseChanged = false;

    // The base as the dialog opened.
    bool m_openedWithCompany;
    MRV_ConnectionContext::CompanyPtr m_openedBase;
    QString m_openedBaseFile;

    MRV_ConnectionContext::CompanyPtr m_baseCompany;
    QString m_baseCompanyName;
    QString m_baseFile;
    MRV_ConnectionContext::CompanyPtr m_targetCompany;
    QString m_targetCompanyName;

    QRadioButton* m_baseCompanyRadio;
    QLineEdit* m_baseCompanyEdit;
    QPushButton* m_baseCompanyButton;
    QRadioButton* m_baseFileRadio;
    QLineEdit* m_baseFileEdit;
    QPushButton* m_baseFileButton;
    QLineEdit* m_targetCompanyEdit;
    QLineEdit* m_targetFileEdit;
};
