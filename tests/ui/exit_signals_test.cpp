// The program ends through its normal exit when the desktop asks: SIGTERM, SIGHUP and SIGINT
// after an edit made with no mouse (GoWithNoDev on) find the edit in the local store.
#include "app/configuration.h"
#include "app/paths.h"
#include "profile/profile_edits.h"
#include "profile/profile_record.h"
#include "ui/device_port.h"
#include "ui/ui_fixture.h"
#include "ui/zorvan_app.h"
#include "ui/zorvan_dlg.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstring>

using namespace zorvan;
using namespace zorvan::test;

namespace {

// The build's application folder with a cfg.ini that works without a mouse.
QString AppFolderWithoutMouse(const QTemporaryDir& dir)
{
    const QString from = UiFixture::BuildAppDir();
    const QString to = dir.path() + QStringLiteral("/app/");
    QDir().mkpath(to);
    for (const QString& entry : QDir(from).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (entry != QStringLiteral("cfg.ini"))
            QFile::link(from + entry, to + entry);
    }
    QFile in(from + QStringLiteral("cfg.ini"));
    QFile out(to + QStringLiteral("cfg.ini"));
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return QString();
    QByteArray cfg = in.readAll();
    cfg.replace("GoWithNoDev=0", "GoWithNoDev=1");
    cfg.replace("Suwnd=0", "Suwnd=1");
    out.write(cfg);
    return to;
}

// The current profile's polling rate in the one profile store file of `dataDir`.
std::optional<int32_t> StoredPollingRate(const QString& dataDir)
{
    const QStringList stores = QDir(dataDir).entryList({QStringLiteral("PRO_*.dct")}, QDir::Files);
    if (stores.size() != 1)
        return std::nullopt;
    QFile file(dataDir + stores.first());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    uint32_t currentId = 0;
    std::memcpy(&currentId, bytes.constData(), sizeof currentId);
    for (qsizetype at = 4; at + qsizetype(sizeof(ProfileRecord)) <= bytes.size(); at += sizeof(ProfileRecord)) {
        ProfileRecord record;
        std::memcpy(&record, bytes.constData() + at, sizeof record);
        if (uint32_t(record.id) == currentId)
            return record.pollingRate;
    }
    return std::nullopt;
}

}  // namespace

class ExitSignalsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void signalEndsThroughTheNormalExit_data();
    void signalEndsThroughTheNormalExit();
};

void ExitSignalsTest::initTestCase()
{
    // Real devices only (none of the mouse's ids are present here): no mouse at all.
    qunsetenv("ZORVAN_EMULATE");
}

void ExitSignalsTest::signalEndsThroughTheNormalExit_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
    QTest::newRow("SIGINT") << SIGINT;
}

void ExitSignalsTest::signalEndsThroughTheNormalExit()
{
    QFETCH(int, signal);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString root = home.path();
    for (const char* folder : {"/data", "/runtime", "/config", "/Desktop"})
        QDir().mkpath(root + QLatin1String(folder));
    QFile::setPermissions(root + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", root.toUtf8());
    qputenv("XDG_DATA_HOME", (root + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", (root + QStringLiteral("/runtime")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/config")).toUtf8());
    const QString appDir = AppFolderWithoutMouse(home);
    QVERIFY(!appDir.isEmpty());

    char name[] = "zorvan";
    char* argv[] = {name, nullptr};
    CZorvanApp app(1, argv, appDir);
    int code = -1;
    QVERIFY(app.InitInstance(code));
    QVERIFY(Options().GoWithNoDev != 0);

    bool edited = false;
    bool raised = false;
    // The change is made in the window, which shows once the program has started (the device
    // search has ended, the local profile is loaded).
    QTimer shown;
    shown.start(20);
    QObject::connect(&shown, &QTimer::timeout, [&] {
        if (!app.Window() || !app.Window()->isVisible())
            return;
        shown.stop();
        DevicePort* port = app.Port();
        QVERIFY(port && !port->Connected());
        port->ChangeSetting(
            [port](ProfileRecord& profile) { return SetPollingRate(profile, 500, *port->CurrentDevice()); },
            [&, signal](ChangeResult result) {
                edited = result == ChangeResult::kMade;
                raised = true;
                std::raise(signal);
            });
    });
    // Ends the test's wait should the signal not end the program.
    QTimer::singleShot(20000, [] { QCoreApplication::exit(99); });
    code = app.Run();
    app.ExitInstance();
    QVERIFY(raised);
    QVERIFY(edited);
    QCOMPARE(code, 0);
    const QString dataDir = DataDirFor(Options().appdir);
    QCOMPARE(StoredPollingRate(dataDir), std::optional<int32_t>(kRate500));
    QVERIFY(QFile::exists(dataDir + QStringLiteral("CID.dct")));
}

QTEST_MAIN(ExitSignalsTest)
#include "exit_signals_test.moc"
