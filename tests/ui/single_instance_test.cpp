// One copy per user, between real processes: a second `zorvan` hands over to the first and
// exits without a window; a first `zorvan` started hidden shows its window when asked.
#include "ui/single_instance.h"
#include "ui/ui_fixture.h"

#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace zorvan;
using namespace zorvan::test;

namespace {

const QString kInstance = QStringLiteral("MUTEX_QX_WIRELESS");

// `zorvan` with its own runtime, home and data folders, on the offscreen platform.
void PrepareZorvan(QProcess& process, const QTemporaryDir& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("ZORVAN_EMULATE"));
    process.setProcessEnvironment(env);
    process.setProgram(UiFixture::BuildAppDir() + QStringLiteral("zorvan"));
}

// Whether a started copy listens on the instance's socket. Asked by connecting only: taking the
// socket over to find out would, for that moment, make the copy still starting take the test
// for a first copy and end.
bool CopyListens()
{
    QLocalSocket probe;
    probe.connectToServer(SingleInstance(kInstance).SocketPath());
    return probe.waitForConnected(500);
}

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void secondCopyHandsOverAndExits();
    void firstCopyStartedHiddenShowsItsWindow();
    void socketOfADeadCopyIsTakenOver();
};

void SingleInstanceTest::secondCopyHandsOverAndExits()
{
    QTemporaryDir home;
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    SingleInstance first(kInstance);
    QVERIFY(first.Acquire());
    QString asked;
    connect(&first, &SingleInstance::showRequested, this, [&asked](const QString& title, bool* found) {
        asked = title;
        *found = true;
    });
    QProcess second;
    PrepareZorvan(second, home);
    second.start();
    QVERIFY(second.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 15000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(asked, QStringLiteral("Zorvan"));
}

void SingleInstanceTest::firstCopyStartedHiddenShowsItsWindow()
{
    QTemporaryDir home;
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    QProcess first;
    PrepareZorvan(first, home);
    first.setArguments({QStringLiteral("--autostart")});
    first.start();
    QVERIFY(first.waitForStarted());
    SingleInstance second(kInstance);
    QTRY_VERIFY_WITH_TIMEOUT(CopyListens(), 15000);
    QVERIFY(!second.Acquire());
    QVERIFY2(!second.HandOver(QStringLiteral("Another title")), "a window of another caption is not ours");
    QVERIFY(second.HandOver(QStringLiteral("Zorvan")));
    QCOMPARE(first.state(), QProcess::Running);
    first.terminate();
    QVERIFY(first.waitForFinished(10000));
}

void SingleInstanceTest::socketOfADeadCopyIsTakenOver()
{
    QTemporaryDir home;
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    {
        QProcess dead;
        PrepareZorvan(dead, home);
        dead.setArguments({QStringLiteral("--autostart")});
        dead.start();
        QVERIFY(dead.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(CopyListens(), 15000);
        dead.kill();
        QVERIFY(dead.waitForFinished(10000));
    }
    SingleInstance next(kInstance);
    QVERIFY(next.Acquire());
}

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
