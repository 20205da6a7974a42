#include "config/MRV_IntermediateFile.h"
#include "config/MRV_ConfigurationManager.h"
#include "di/MRV_ConnectionContext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

mode_t modeOf(const QString& path) {
    struct stat info {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

// Each test has a runtime folder of its own.
class IntermediateFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
        folder = dir.filePath(u"mirrova"_s);
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", saved); }

    QTemporaryDir dir;
    QByteArray saved;
    QString folder;
};

TEST_F(IntermediateFile, EveryRunHasAPrivateFileOfItsOwnThatGoesWithIt) {
    // A leftover of a run that was killed goes; one of a live run stays.
    ASSERT_TRUE(QDir().mkpath(folder));
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    const QString dead = folder + u"/MRV_Config_%1_old.xml"_s.arg(child);
    const QString live = folder + u"/MRV_Config_%1_old.xml"_s.arg(getpid());
    for (const QString& path : {dead, live}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QString path;
    {
        const MRV_IntermediateFile first;
        const MRV_IntermediateFile second;
        ASSERT_TRUE(first.isValid()) << first.error().toStdString();
        ASSERT_TRUE(second.isValid()) << second.error().toStdString();
        EXPECT_NE(first.path(), second.path());
        EXPECT_EQ(modeOf(folder), 0700u);
        EXPECT_EQ(modeOf(first.path()), 0600u);
        EXPECT_FALSE(QFile::exists(dead));
        EXPECT_TRUE(QFile::exists(live));
        // The configuration file written over it stays private.
        MRV_ConnectionContext context;
        ASSERT_EQ(MRV_ConfigurationManager(context).writeToFile(first.path(), u"x"_s), S_OK);
        EXPECT_EQ(modeOf(first.path()), 0600u);
        path = first.path();
    }
    EXPECT_FALSE(QFile::exists(path));
    QFile::remove(live);
    EXPECT_TRUE(QDir(folder).isEmpty());
}

TEST_F(IntermediateFile, AFolderThatIsNotTheUsersOwnIsRefusedAndSaysWhy) {
    const QString elsewhere = dir.filePath(u"elsewhere"_s);
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, folder));
    const MRV_IntermediateFile linked;
    EXPECT_FALSE(linked.isValid());
    EXPECT_TRUE(linked.error().contains(folder + u" is a symbolic link"_s))
        << linked.error().toStdString();
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
    ASSERT_TRUE(QFile::remove(folder));

    QFile plain(folder);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_TRUE(MRV_IntermediateFile().error().contains(u"is not a folder"_s));
    ASSERT_TRUE(QFile::remove(folder));

    // Another user's folder can only be made by the superuser.
    if (getuid() == 0) {
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_EQ(chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
        const MRV_IntermediateFile foreign;
        EXPECT_FALSE(foreign.isValid());
        EXPECT_TRUE(foreign.error().contains(u"belongs to another user"_s))
            << foreign.error().toStdString();
    }
}

} // namespace
