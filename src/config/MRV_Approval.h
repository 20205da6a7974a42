#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace LLObjectsCOM {
class Company;
}
class MRV_ConnectionContext;
class MRV_Worksheet;

// The approval of a preview: what the preview showed and the state it was
// made in (the worksheet's selection and copy method, the base's and the
// target's rows of the selected categories), as digests, with who approved
// it and when. Kept in a file beside the worksheet; a worksheet whose
// approval option is on copies only while its approval still holds.
class MRV_Approval {
public:
    QString selection;
    QString base;
    QString target;
    QString preview;
    QString approvedBy;
    QString approvedAt;

    // The state as it is now (preview left empty): digests of the
    // worksheet's selection with copyMethod, of the base company (or the
    // base file) and of the target company.
    // companies: false to take the selection alone.
    static MRV_Approval current(MRV_ConnectionContext& context, const MRV_Worksheet& worksheet,
                                int copyMethod, bool companies = true);
    // A digest of a preview's findings.
    static QString digestOf(const QStringList& findings);

    static QString pathFor(const QString& worksheetPath);
    bool save(const QString& path, QString& why) const;
    // Nothing, with why, when the file is missing or is not an approval.
    static std::optional<MRV_Approval> load(const QString& path, QString& why);
    // What of the state differs from now: "the worksheet's selection",
    // "the base", "the target"; empty while the approval holds.
    QStringList changedSince(const MRV_Approval& now) const;
};
