#include "config/MRV_Approval.h"

#include "config/MRV_TargetDiff.h"
#include "di/MRV_ConnectionContext.h"
#include "worksheet/MRV_Worksheet.h"
#include "worksheet/MRV_WorksheetNode.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

const QByteArray kFirstLine = "Mirrova approval 1";
// Larger than any approval: a file beyond it is no approval.
constexpr qint64 kMaxBytes = 4096;

// Each text with its length, so that no two different lists hash the same.
class Digest {
public:
    void add(const QString& text) {
        const QByteArray bytes = text.toUtf8();
        m_hash.addData(QByteArray::number(bytes.size()) + ':' + bytes);
    }
    QString hex() const { return QString::fromLatin1(m_hash.result().toHex()); }

private:
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
};

QString selectionDigest(const MRV_Worksheet& worksheet, int copyMethod) {
    Digest digest;
    digest.add(QString::number(copyMethod));
    for (const auto& node : worksheet.nodes) {
        if (!node->leaf)
            continue;
        digest.add(node->leafId);
        digest.add(QString::number(node->selected));
        for (const MRV_SelectionObject& object : node->selection)
            for (const MRV_SelectionField& key : object.keys) {
                digest.add(key.fieldName);
                digest.add(key.value);
            }
        for (const MRV_ChangedRecord& edit : node->edits) {
            digest.add(edit.table);
            for (const auto& [name, value] : edit.keys) {
                digest.add(name);
                digest.add(value);
            }
            for (const MRV_ChangedField& field : edit.fields) {
                digest.add(field.name);
                digest.add(field.newValue);
            }
        }
    }
    return digest.hex();
}

QString fileDigest(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file)) {
        Digest unreadable; // a file that cannot be read is a state too
        unreadable.add(path);
        return unreadable.hex();
    }
    return QString::fromLatin1(hash.result().toHex());
}

// What the selected categories' tables hold in company, without the
// columns the host keeps itself: the same digest, the same rows.
QString tablesDigest(MRV_ConnectionContext& context, const MRV_Worksheet& worksheet,
                     LLObjectsCOM::Company& company) {
    Digest digest;
    MRV_TargetDiff::forEachTableIn(
        context, worksheet, company,
        [&](const QString& table, const QStringList& names, const QList<QStringList>& rows) {
            digest.add(table);
            for (const QString& name : names)
                if (!MRV_TargetDiff::kept(name))
                    digest.add(name);
            for (const QStringList& row : rows)
                for (qsizetype c = 0; c < row.size(); ++c)
                    if (!MRV_TargetDiff::kept(names.value(c)))
                        digest.add(row[c]);
        });
    return digest.hex();
}

} // namespace

MRV_Approval MRV_Approval::current(MRV_ConnectionContext& context, const MRV_Worksheet& worksheet,
                                   int copyMethod, bool companies) {
    MRV_Approval now;
    now.selection = selectionDigest(worksheet, copyMethod);
    if (!companies)
        return now;
    now.base = context.baseCompany ? tablesDigest(context, worksheet, *context.baseCompany)
                                   : fileDigest(worksheet.sourceFile);
    if (context.targetCompany)
        now.target = tablesDigest(context, worksheet, *context.targetCompany);
    return now;
}

QString MRV_Approval::digestOf(const QStringList& findings) {
    Digest digest;
    for (const QString& line : findings)
        digest.add(line);
    return digest.hex();
}

QString MRV_Approval::pathFor(const QString& worksheetPath) {
    return worksheetPath + QStringLiteral(".approval");
}

bool MRV_Approval::save(const QString& path, QString& why) const {
    QSaveFile file(path);
    const QByteArray text = kFirstLine + "\nselection: " + selection.toLatin1() +
                            "\nbase: " + base.toLatin1() + "\ntarget: " + target.toLatin1() +
                            "\npreview: " + preview.toLatin1() +
                            "\napproved-by: " + approvedBy.simplified().toUtf8() +
                            "\napproved-at: " + approvedAt.toLatin1() + '\n';
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return true;
    why = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}

std::optional<MRV_Approval> MRV_Approval::load(const QString& path, QString& why) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = QStringLiteral("no approval %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxBytes + 1);
    const QList<QByteArray> lines = bytes.split('\n');
    if (bytes.size() > kMaxBytes || lines.value(0) != kFirstLine) {
        why = QStringLiteral("%1 is not an approval").arg(path);
        return std::nullopt;
    }
    MRV_Approval approval;
    static const QRegularExpression digest(QStringLiteral("^[0-9a-f]{64}$"));
    const std::pair<const char*, QString*> fields[] = {
        {"selection", &approval.selection},    {"base", &approval.base},
        {"target", &approval.target},          {"preview", &approval.preview},
        {"approved-by", &approval.approvedBy}, {"approved-at", &approval.approvedAt}};
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const qsizetype colon = lines[i].indexOf(": ");
        const QByteArray name = lines[i].left(colon);
        QString* value = nullptr;
        for (const auto& [known, field] : fields)
            if (colon > 0 && name == known)
                value = field;
        if (!value || !value->isEmpty()) {
            why = QStringLiteral("%1, line %2: '%3' is not a field of an approval, or comes twice")
                      .arg(path)
                      .arg(i + 1)
                      .arg(QString::fromUtf8(name.left(40)));
            return std::nullopt;
        }
        *value = QString::fromUtf8(lines[i].mid(colon + 2));
    }
    for (const QString* value :
         {&approval.selection, &approval.base, &approval.target, &approval.preview})
        if (!digest.match(*value).hasMatch()) {
            why = QStringLiteral("%1 lacks a digest or holds a broken one").arg(path);
            return std::nullopt;
        }
    return approval;
}

QStringList MRV_Approval::changedSince(const MRV_Approval& now) const {
    QStringList changed;
    if (selection != now.selection)
        changed << QStringLiteral("the worksheet's selection or copy method");
    if (base != now.base)
        changed << QStringLiteral("the base");
    if (target != now.target)
        changed << QStringLiteral("the target");
    return changed;
}
