#pragma once

#include "host/objects/LLHResult.h"

#include <QWidget>

#include <memory>

class QLabel;
class QTableView;
class MRV_ConnectionContext;
class MRV_LogFile;

// A window that shows a copy log: its header, then one row per record with
// the log's eleven columns, in the order the log is first shown. It stays
// open beside the main window.
class MRV_LogFileDlg : public QWidget {
    Q_OBJECT
public:
    explicit MRV_LogFileDlg(MRV_ConnectionContext* context, QWidget* parent = nullptr);
    ~MRV_LogFileDlg() override;

    // Reads the log; a file that is not one has been reported to the user.
    HRESULT open(const QString& path);
    const MRV_LogFile& log() const { return *m_log; }
    QTableView* table() const { return m_table; }

private:
    MRV_ConnectionContext* m_context;
    std::unique_ptr<MRV_LogFile> m_log;
    QLabel* m_header;
    QTableView* m_table;
};
