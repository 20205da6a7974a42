#include "config/MRV_Approval.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// An approval file may come from anyone: it is read back as written, and
// anything else is refused, saying why.
TEST(Approval, ReadsBackWhatItWroteAndRefusesEverythingElse) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"ws.xml.approval"_s);
    MRV_Approval written;
    written.selection = QString(64, u'a');
    written.base = QString(64, u'b');
    written.target = QString(64, u'c');
    written.preview = MRV_Approval::digestOf({u"x"_s});
    written.approvedBy = u"lobster\nforged: line"_s;
    written.approvedAt = u"2026-12-09 08:00:00"_s;
    QString why;
    ASSERT_TRUE(written.save(path, why)) << why.toStdString();
    const std::optional<MRV_Approval> read = MRV_Approval::load(path, why);
    ASSERT_TRUE(read) << why.toStdString();
    EXPECT_EQ(read->approvedBy, u"lobster forged: line"_s);
    EXPECT_TRUE(read->changedSince(written).isEmpty());
    MRV_Approval now = written;
    now.target = QString(64, u'd');
    EXPECT_EQ(read->changedSince(now), QStringList{u"the target"_s});

    const QByteArray good = "Mirrova approval 1\nselection: " + QByteArray(64, 'a') +
                            "\nbase: " + QByteArray(64, 'b') + "\ntarget: " + QByteArray(64, 'c') +
                            "\npreview: " + QByteArray(64, 'e') + '\n';
    for (const QByteArray& bad :
         {QByteArray(), QByteArray("Mirrova approval 2\n"), good + "base: " + QByteArray(64, 'b'),
          good + "colour: red\n", QByteArray(good).replace("base: b", "base: B"),
          QByteArray(good).replace("\npreview: " + QByteArray(64, 'e'), ""),
          good + QByteArray(5000, 'x')}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bad);
        file.close();
        why.clear();
        EXPECT_FALSE(MRV_Approval::load(path, why)) << bad.left(80).toStdString();
        EXPECT_TRUE(why.contains(path)) << why.toStdString();
    }
    EXPECT_FALSE(MRV_Approval::load(dir.filePath(u"none"_s), why));
}

} // namespace
