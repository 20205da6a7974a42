#pragma once

#include "gui/MRV_Dialog.h"

#include <memory>

class MRV_ConnectionContext;
class MRV_SettingsManager;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

// The copy options in force (copy method, response if a copy fails,
// missing user-defined fields, forced backup) and the stored folders for
// configuration files, worksheets and log files. Closes with Accepted only
// when changes were saved into the context and the settings table; OK
// without a change closes as Cancel does and leaves the table alone; a
// failed save keeps the dialog open with both unchanged.
class MRV_CopyOptionsFormDlg : public MRV_Dialog {
public:
    MRV_CopyOptionsFormDlg(MRV_ConnectionContext& context, QWidget* parent = nullptr);
    ~MRV_CopyOptionsFormDlg() override;

    void accept() override;
    void reject() override;

private:
    // What the controls hold now.
    struct Choices {
        int copyMethod = -1;
        int response = -1;
        bool ignoreMissingUdf = false;
        bool forceBackup = false;
        QString configurationFolder;
        QString worksheetFolder;
        QString logFileFolder;
        bool operator==(const Choices&) const = default;
    };
    Choices getChanges() const;
    // The context's options and the stored folders, as the dialog opened.
    Choices stored() const;
    // Writes choices into the context and the settings and saves them;
    // false (the user told) when the save failed.
    bool save(const Choices& choices);
    void browseForFolder(QLineEdit* edit);

    MRV_ConnectionContext& m_context;
    std::unique_ptr<MRV_SettingsManager> m_settings;
    // The folders as stored when the dialog opened; a failed save leaves
    // new ones in m_settings.
    QString m_storedFolders[3];
    // The settings could not be read: none are saved.
    bool m_unreadable = false;
    QList<std::pair<QRadioButton*, int>> m_methods;
    QComboBox* m_response;
    QCheckBox* m_ignoreMissingUdf;
    QCheckBox* m_forceBackup;
    QLineEdit* m_configurationFolder;
    QLineEdit* m_worksheetFolder;
    QLineEdit* m_logFileFolder;
};
