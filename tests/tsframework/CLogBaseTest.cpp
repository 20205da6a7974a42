#include "tsframework/CLogBase.h"
#include "TestData.h"

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

class Logging : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("sub/mirrova.log");
        qunsetenv("MIRROVA_LOG_LEVEL");
        qputenv("MIRROVA_LOG_FILE", path.toUtf8());
    }
    void TearDown() override {
        qunsetenv("MIRROVA_LOG_FILE");
        qunsetenv("MIRROVA_LOG_LEVEL");
        CLogBase::reconfigure();
    }
    void useLevel(const char* level) {
        qputenv("MIRROVA_LOG_LEVEL", level);
        CLogBase::reconfigure();
    }
    QStringList lines() const {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    QString path;
};

} // namespace

TEST_F(Logging, WritesScopeLevelAndFormattedTextOneLineAnEntry) {
    useLevel("info");
    {
        CLogBase log(u"MRV", u"MRV_Test::method");
        log.LogError(u"Failed to write note with ID %d to database, HRESULT = 0x%X\n", 7,
                     static_cast<qint32>(0x80004005u));
        log.LogInfo(u"Copied %s", u"Ünïcödé"_s);
        log.LogDbg0(u"not at info level");
        // One entry stays one line.
        log.LogError(u"%s", u"line1\r\nline2\nline3\r"_s);
    }
    const QStringList got = lines();
    ASSERT_EQ(got.size(), 3);
    EXPECT_TRUE(got[0].contains(
        u"ERROR MRV MRV_Test::method: Failed to write note with ID 7 to database, HRESULT = "
        u"0x80004005"));
    EXPECT_TRUE(got[0].endsWith(u"0x80004005")) << "a trailing line break ends the entry";
    EXPECT_TRUE(got[1].endsWith(u"MRV_Test::method: Copied Ünïcödé"));
    EXPECT_TRUE(got[2].endsWith(u"line1\\nline2\\nline3\\r"));
}

TEST_F(Logging, LevelsFilterAndDebugShowsScopes) {
    useLevel("off");
    { CLogBase(u"MRV", u"A::b").LogError(u"hidden"); }
    EXPECT_TRUE(lines().isEmpty());

    useLevel("debug");
    {
        CLogBase log(u"MRV", u"A::b");
        log.LogDbg2(u"detail");
    }
    const QStringList got = lines();
    ASSERT_EQ(got.size(), 3);
    EXPECT_TRUE(got[0].endsWith(u"A::b: enter"));
    EXPECT_TRUE(got[1].endsWith(u"A::b: detail"));
    EXPECT_TRUE(got[2].endsWith(u"A::b: leave"));
    EXPECT_EQ(CLogBase::level(), CLogBase::Debug2);
}

TEST_F(Logging, AnUnwritableLogIsDroppedQuietly) {
    qputenv("MIRROVA_LOG_FILE", "/proc/no/such/place/mirrova.log");
    useLevel("debug");
    CLogBase log(u"MRV", u"A::b");
    log.LogError(u"goes nowhere");
    EXPECT_EQ(CLogBase::filePath(), u"/proc/no/such/place/mirrova.log");
}

TEST_F(Logging, DefaultsToTheStateFolder) {
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    qunsetenv("MIRROVA_LOG_FILE");
    qputenv("XDG_STATE_HOME", dir.path().toUtf8());
    CLogBase::reconfigure();
    EXPECT_EQ(CLogBase::filePath(), dir.path() + u"/mirrova/mirrova.log"_s);
    EXPECT_EQ(CLogBase::level(), CLogBase::Info);
    qputenv("XDG_STATE_HOME", saved);
}
