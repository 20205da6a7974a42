#include "config/MRV_RunLock.h"
#include "host/HostTestSupport.h"

#include <QDir>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

class RunLock : public HostWorld {
protected:
    void SetUp() override {
        HostWorld::SetUp();
        server.emplace(makeServer(6));
    }
    std::optional<LLObjectsCOM::Server> server;
};

} // namespace

// One run at a time into a company, whatever the spelling of its name; the
// one refused learns who holds it, and the lock is free again when the
// holder lets go of it.
TEST_F(RunLock, ASecondRunIntoTheSameCompanyIsRefusedNamingTheFirst) {
    const QString path = MRV_RunLock::lockPath(server->folder(), u"TARGET"_s);
    EXPECT_TRUE(path.startsWith(QDir(server->folder()).filePath(u"LL_SHR/Mirrova/"_s)))
        << path.toStdString();
    EXPECT_EQ(MRV_RunLock::lockPath(server->folder(), u"target"_s), path);
    EXPECT_NE(MRV_RunLock::lockPath(server->folder(), u"BASE"_s), path);
    EXPECT_FALSE(MRV_RunLock::lockPath(server->folder(), u"../../x/y"_s).contains(u"../"_s));

    QString holder;
    auto first = std::make_unique<MRV_RunLock>();
    ASSERT_TRUE(first->acquire(server->folder(), u"TARGET"_s, u"run one"_s, holder))
        << holder.toStdString();
    MRV_RunLock second;
    EXPECT_FALSE(second.acquire(server->folder(), u"target"_s, u"run two"_s, holder));
    EXPECT_EQ(holder, u"run one"_s);
    EXPECT_FALSE(second.held());
    MRV_RunLock other;
    EXPECT_TRUE(other.acquire(server->folder(), u"BASE"_s, u"run three"_s, holder));
    first.reset();
    EXPECT_TRUE(second.acquire(server->folder(), u"TARGET"_s, u"run two"_s, holder));
    EXPECT_TRUE(
        MRV_RunLock::describeRun(u"lobster"_s, u"/w/ws.xml"_s).contains(u"user lobster on "_s));
}

// A run that dies holding the lock lets go of it with its process: the
// next run is not kept out by a run that is gone.
TEST_F(RunLock, ARunThatDiesLetsGoOfTheLock) {
    const QString path = MRV_RunLock::lockPath(server->folder(), u"TARGET"_s);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT, 0644);
        const char done = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
        [[maybe_unused]] const auto written = ::write(ready[1], &done, 1);
        ::pause();
        ::_exit(0);
    }
    char done = 0;
    ASSERT_EQ(::read(ready[0], &done, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_EQ(done, 'y');
    QString holder;
    MRV_RunLock lock;
    EXPECT_FALSE(lock.acquire(server->folder(), u"TARGET"_s, u"next run"_s, holder));
    EXPECT_EQ(holder, u"another run (it has not said who yet)"_s);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(lock.acquire(server->folder(), u"TARGET"_s, u"next run"_s, holder))
        << holder.toStdString();
}
