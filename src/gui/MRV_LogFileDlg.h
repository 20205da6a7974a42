#pragma once

#include "gui/MRV_Dialog.h"
#include "host/objects/LLHResult.h"
#include "worksheet/MRV_TableRules.h"

#include <QList>
#include <QStringList>

#include <memory>

class QPrinter;
class QTableView;
class MRV_ConnectionContext;
class MRV_LogFile;
class MRV_LogRowsModel;

// A window that shows a copy log as a table of its eleven columns, sorts
// and filters it, shows the run's header, prints the table and saves it
// for a spreadsheet. It stays open beside the main window.
class MRV_LogFileDlg : public MRV_Dialog {
    Q_OBJECT
public:
    // Opened on the log of the run just made, or on a file the user chose.
    enum Mode { CurrentRun = 1, ChosenFile = 2 };
    // Rows after these are never shown; hidden rows count towards them.
    static constexpr int MaxRows = 50000;
    // What a cell without a value shows.
    static inline const QString Missing = QStringLiteral("#########");
    // The column indicators, by their index in the list of images.
    enum Indicator {
        None = -1,
        Descending,
        Ascending,
        Filtered,
        FilteredDescending,
        FilteredAscending
    };

    explicit MRV_LogFileDlg(MRV_ConnectionContext* context, QWidget* parent = nullptr);
    ~MRV_LogFileDlg() override;

    // Reads the log and shows it; a file that is not one has been reported
    // to the user. A log that breaks off is shown as far as it reads.
    HRESULT open(const QString& path, int mode = ChosenFile);
    const MRV_LogFile& log() const { return *m_log; }
    int mode() const { return m_mode; }
    QTableView* table() const { return m_table; }

    QStringList columnTitles() const;
    QList<MRV_ColumnType> columnTypes() const;
    // A column's values over every row of the log, hidden ones too.
    QStringList columnTexts(int column) const;
    // The indexes of the log's rows shown, in the order shown.
    QList<int> shownRows() const;

    // The table sorted by the rules: the first decides, the next break ties.
    void ApplySortRules(const QList<MRV_SortRule>& rules);
    // Only the rows that pass every rule, in the order they were read.
    void ApplyFilterRules(const QList<MRV_FilterRule>& rules);
    // Every row again, in the order they were read.
    void UnApplyFilterRules();
    // Fills the table from the first rows of the log, in file order,
    // leaving out those a filter hides.
    void InsertItems();
    // As a click on the column's header.
    void sortByColumn(int column);
    const QList<MRV_SortRule>& sortRules() const { return m_sortRules; }
    const QList<MRV_FilterRule>& filterRules() const { return m_filterRules; }
    bool filterApplied() const { return m_filtered; }
    Indicator indicator(int column) const;

    // The buttons' work: the additional information (or why it cannot be
    // shown), printing through the print dialog, the spreadsheet file.
    void showAdditionalInfo();
    HRESULT printLog();
    HRESULT saveAsExcel();
    // Prints the shown rows on printer as the dialog's title names them; a
    // failure is told to the user and aborts the document.
    HRESULT print(QPrinter& printer);

    // Prints rows under their titles, page by page, in a fixed-pitch font
    // of 8 points. The number of pages, or -1 with the reason in error.
    static int printRows(QPrinter& printer, const QString& documentName, const QStringList& titles,
                         const QList<QStringList>& rows, QString* error);
    // How many rows printRows puts on one page of printer.
    static int rowsPerPage(QPrinter& printer);

signals:
    // The table's context menu: "Filter Table..." and "Sort Table...".
    void filterRequested();
    void sortRequested();

private:
    void updateIndicators();

    MRV_ConnectionContext* m_context;
    std::unique_ptr<MRV_LogFile> m_log;
    int m_mode = ChosenFile;
    QTableView* m_table;
    MRV_LogRowsModel* m_model;
    QList<MRV_SortRule> m_sortRules;
    int m_lastColumn = -1;
    bool m_lastAscending = true;
    QList<MRV_FilterRule> m_filterRules;
    QList<bool> m_visible;
    bool m_filtered = false;
};
