#include "ManagerTestSupport.h"

using namespace Qt::StringLiterals;

namespace {

const QString Defaults = u"MRV_TRN_DEFAULTS_100"_s;
const QString Layouts = u"MRV_TRN_DEFAULTLAYOUTS_100"_s;
const QString Series = u"MRV_TRN_DEFAULTSERIES_100"_s;

// The groups with what they name as every company knows it, then each
// user's group.
const QString DefaultsContents =
    u"SELECT g.Code, g.Name, g.Warehouse, c.FormatCode, k.FormatCode, l.ListName, b.Name, "
    u"s.SlpName, g.PrintHeadr FROM OUDG g LEFT JOIN OACT c ON c.AcctCode = g.CashAcct LEFT JOIN "
    u"OACT k ON k.AcctCode = g.CheckAcct LEFT JOIN OPLN l ON l.ListNum = g.PriceList LEFT JOIN "
    u"OUBR b ON b.Code = g.Branch LEFT JOIN OSLP s ON s.SlpCode = g.SlpCode UNION ALL SELECT "
    u"'user', USER_CODE, DfltsGroup, NULL, NULL, NULL, NULL, NULL, NULL FROM OUSR WHERE "
    u"DfltsGroup IS NOT NULL ORDER BY 1, 2"_s;
const QString LayoutContents =
    u"SELECT r.DoumntDode, CASE WHEN r.UserId = -1 THEN '*' ELSE u.USER_CODE END, r.CardCode, "
    u"r.DfltReport FROM RDFL r LEFT JOIN OUSR u ON u.INTERNAL_K = r.UserId ORDER BY 1, 2, 3"_s;
const QString SeriesContents =
    u"SELECT s.ObjectCode, s.DocSubType, u.USER_CODE, n.SeriesName, n.ObjectCode FROM NNM2 s "
    u"LEFT JOIN OUSR u ON u.INTERNAL_K = s.UserSign LEFT JOIN NNM1 n ON n.Series = s.Series "
    u"ORDER BY 1, 2, 3"_s;

// The users, branches and sales employees under other numbers, the
// warehouses under the same codes, the accounts under other codes and the
// price lists under other numbers.
void groupReferences(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    users(base, target);
    priceLists(base, target);
    copyNamesUnderOtherKeys(base, target, u"SELECT WhsCode FROM OWHS"_s,
                            u"INSERT INTO OWHS (WhsCode, WhsName) VALUES (%2, %2)"_s);
    copyNamesUnderOtherKeys(base, target, u"SELECT Name FROM OUBR"_s,
                            u"INSERT INTO OUBR (Code, Name) VALUES (%1, %2)"_s);
    copyNamesUnderOtherKeys(base, target, u"SELECT SlpName FROM OSLP WHERE SlpCode <> -1"_s,
                            u"INSERT INTO OSLP (SlpCode, SlpName) VALUES (%1, %2)"_s);
    accountsOf(base, target, u"SELECT CashAcct FROM OUDG UNION SELECT CheckAcct FROM OUDG"_s);
}

// The users under other numbers; report types, layouts and partners under
// the same codes.
void layoutReferences(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    users(base, target);
    copyNamesUnderOtherKeys(base, target, u"SELECT TypeCode FROM RTYP"_s,
                            u"INSERT INTO RTYP (TypeCode, TypeName) VALUES (%2, %2)"_s);
    addRows(base, target,
            u"SELECT DocCode, TypeCode FROM RDOC WHERE DocCode IN (SELECT DfltReport FROM RDFL)"_s,
            u"INSERT INTO RDOC (DocCode, DocName, TypeCode) VALUES (%2, %2, %3)"_s,
            u"SELECT DocCode, TypeCode FROM RDOC"_s);
    addMissing(base, target, u"SELECT DISTINCT CardCode FROM RDFL WHERE CardCode <> ''"_s,
               u"SELECT CardCode FROM OCRD"_s,
               u"INSERT INTO OCRD (CardCode, CardName, CardType) VALUES (%2, %2, 'C')"_s);
}

// The users, and every series of the base under another number, a decoy
// of the same name in another document first.
void seriesReferences(LLObjectsCOM::Company& base, LLObjectsCOM::Company& target) {
    users(base, target);
    int number = 300;
    for (const QVariantList& s :
         EngineWorld::rows(base, u"SELECT ObjectCode, DocSubType, SeriesName FROM NNM1"_s)) {
        const QString name = lit(s[2].toString());
        const QString insert =
            u"INSERT INTO NNM1 (ObjectCode, Series, SeriesName, DocSubType) VALUES (%1, %2, %3, "
            u"%4)"_s;
        if (EngineWorld::column(target, u"SELECT 1 FROM NNM1 WHERE ObjectCode = 'X%1' AND "
                                        u"SeriesName = %2"_s.arg(s[0].toString(), name))
                .isEmpty())
            EngineWorld::exec(target, insert.arg(lit(u"X"_s + s[0].toString()))
                                          .arg(number++)
                                          .arg(name, lit(s[1].toString())));
        EngineWorld::exec(
            target, insert.arg(lit(s[0].toString())).arg(number++).arg(name, lit(s[1].toString())));
    }
}

} // namespace

QList<ManagerCase> masterDefaultsCases() {
    return {
        // The users with a group are the records; the groups travel with
        // them, and the removal phase takes both.
        {"Defaults", Defaults, DefaultsContents,
         u"SELECT 1 FROM OUSR WHERE DfltsGroup IS NOT NULL AND DfltsGroup <> ''"_s, groupReferences,
         QString(), QString(), 0, true, QString(), u"SELECT 1 FROM OUDG"_s},
        {"DefaultLayouts", Layouts, LayoutContents, u"SELECT 1 FROM RDFL"_s, layoutReferences,
         QString(), QString()},
        {"DefaultSeries", Series, SeriesContents, u"SELECT 1 FROM NNM2"_s, seriesReferences,
         QString(), QString()},
    };
}

class MasterDefaults : public ManagerOnServer {
protected:
    void SetUp() override {
        ManagerOnServer::SetUp();
        groupReferences(*base, *target);
        layoutReferences(*base, *target);
        seriesReferences(*base, *target);
    }
    QStringList failed() const {
        QStringList lines;
        for (const QStringList& r : logRecords())
            if (r[Result] != u"402")
                lines << r.join(u'|');
        return lines;
    }
};

// Of a user only the group is written: its other fields and its password
// stay as the target has them. A user the target lacks is not created; its
// line names it. Groups the target holds with other values take the
// base's.
TEST_P(MasterDefaults, OnlyTheGroupOfAnExistingUserIsWritten) {
    const QStringList assigned =
        column(*base, u"SELECT USER_CODE FROM OUSR WHERE DfltsGroup IS NOT NULL ORDER BY 1"_s);
    ASSERT_GE(assigned.size(), 3);
    const QString missing = assigned[0];
    const QString kept = assigned[1];
    exec(*target, u"DELETE FROM OUSR WHERE USER_CODE = %1"_s.arg(lit(missing)));
    exec(*target, u"UPDATE OUSR SET PASSWORD = 'salted-hash', E_Mail = 'desk@example.org', U_NAME "
                  u"= 'Desk', Locked = 'Y' WHERE USER_CODE = %1"_s.arg(lit(kept)));
    const QString group = column(*base, u"SELECT MIN(Code) FROM OUDG"_s).value(0);
    exec(*target, u"INSERT INTO OUDG (Code, Name, PrintHeadr) VALUES (%1, 'Other', 'Other')"_s.arg(
                      lit(group)));
    const QString userRow = u"SELECT INTERNAL_K, USER_CODE, U_NAME, PASSWORD, E_Mail, Locked, "
                            u"SUPERUSER, Department, Branch FROM OUSR ORDER BY 1"_s;
    const QList<QVariantList> before = rows(*target, userRow);

    EXPECT_EQ(copy(Defaults, MRV_DIInterface::AddAndUpdate), S_FALSE);
    EXPECT_EQ(rows(*target, userRow), before);
    const QStringList lines = failed();
    ASSERT_EQ(lines.size(), 1) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines[0].contains(missing) && lines[0].contains(u"not in the target company"_s))
        << lines[0].toStdString();
    const QString others = DefaultsContents.left(DefaultsContents.indexOf(u" ORDER BY"_s)) +
                           u" AND USER_CODE <> %1 ORDER BY 1, 2"_s.arg(lit(missing));
    expectSame(others);

    // A rerun adds nothing: the groups and the users' groups are updated.
    const qsizetype mark = logRecords().size();
    EXPECT_EQ(copy(Defaults, MRV_DIInterface::AddAndUpdate), S_FALSE);
    for (const QStringList& r : logRecords().mid(mark))
        EXPECT_EQ(r[Type], r[Result] == u"402" ? u"213"_s : u"212"_s) << r.join(u'|').toStdString();
    EXPECT_EQ(rows(*target, userRow), before);
}

// Selected users bring their groups only.
TEST_P(MasterDefaults, SelectedUsersBringTheirGroups) {
    const QVariantList user =
        rows(*base, u"SELECT INTERNAL_K, DfltsGroup FROM OUSR WHERE DfltsGroup IS NOT NULL ORDER "
                    u"BY 1"_s)
            .value(0);
    ASSERT_EQ(user.size(), 2);
    EXPECT_EQ(copy(Defaults, MRV_DIInterface::AddNew, {{user[0]}}), S_OK)
        << failed().join(u'\n').toStdString();
    EXPECT_EQ(column(*target, u"SELECT Code FROM OUDG"_s), QStringList{user[1].toString()});
    EXPECT_EQ(logRecords().size(), 2);
}

// A default layout the target lacks fails its defaults, naming it.
TEST_P(MasterDefaults, DefaultsOfAMissingLayoutFailNamingIt) {
    const QString layout = column(*base, u"SELECT MIN(DfltReport) FROM RDFL"_s).value(0);
    exec(*target, u"DELETE FROM RDOC WHERE DocCode = %1"_s.arg(lit(layout)));
    EXPECT_EQ(copy(Layouts, MRV_DIInterface::AddNew), S_FALSE);
    const QStringList refused = failedLines(0, Category); // the errors alone
    EXPECT_EQ(refused.size(),
              rows(*base, u"SELECT 1 FROM RDFL WHERE DfltReport = %1"_s.arg(lit(layout))).size());
    for (const QString& line : refused)
        EXPECT_TRUE(line.contains(u"RDOC"_s) && line.contains(layout)) << line.toStdString();
}

INSTANTIATE_TEST_SUITE_P(ServerTypes, MasterDefaults, ::testing::Values(6, 5, 2),
                         anyServerTypeName);