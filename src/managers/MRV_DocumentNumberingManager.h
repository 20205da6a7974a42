#pragma once

#include "di/MRV_DIInterface.h"

#include <QSet>

// Document Numbering: the series of every document and period indicator
// (NNM1), each document's default series (ONNM), the period
// indicators (OPID) and the administration information's document names.
// A series is the target's series of the same document, sub type and
// initial number, or a new one under the next free key.
class MRV_DocumentNumberingManager : public MRV_DIInterface {
public:
    // The host's business object of a numbering series.
    static constexpr int SeriesObject = 1001;

    MRV_DocumentNumberingManager(MRV_ConnectionContext* context, const QString& categoryId);

    // One document per series, marked <Default>1</Default> when it is its
    // document's default series, and with the base's series structure.
    void readFromDatabase(MRV_KeyList keys, BOMTableList& tables) override;
    // Indicators and document names first, then the series. Nothing is
    // removed: documents keep their series.
    HRESULT writeToTarget(const BOMTableList& tables, int copyMethod) override;

private:
    void writeSeries(MRV_CompanySql& target, const QList<MRV_BOMDocument>& documents,
                     int copyMethod);
    // "Y" when one series of the company may serve several document types.
    static QString seriesStructure(MRV_CompanySql& company);
    // One series and, for a default series, its document's default; false
    // with the outcome's error set.
    bool writeOne(MRV_CompanySql& target, const MRV_TableDeclaration& series,
                  const MRV_BOMRecord::Row& row, int copyMethod, QSet<QString>& written,
                  Outcome& outcome);
};
