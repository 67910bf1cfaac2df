#include "ui/mouse_backup_ui.h"

#include "profile/backup_file.h"
#include "profile/mouse_backup.h"
#include "profile/profile_state.h"
#include "skin/skin_files.h"
#include "text/language_texts.h"
#include "ui/device_port.h"
#include "ui/pages/msg_dlg.h"
#include "ui/progress_dlg.h"

#include <QCoreApplication>
#include <QFileDialog>

#include <atomic>
#include <memory>

namespace zorvan {
namespace {

using WholeMouseJob = std::function<bool(CUSBDriver& link, const WholeMouseStep& step)>;

// Runs `job` on the whole mouse behind the progress dialog: each profile done moves the bar by a
// quarter. Returns once the job has ended (the dialog may have closed before).
bool RunBehindProgress(QWidget* parent, DevicePort& port, const WholeMouseJob& job)
{
    CProgressDlg::Setup setup{SkinFile(QStringLiteral("progress_nr.png")), SkinFile(QStringLiteral("progress_ov.png")),
                              0, 100, 0, 45, 486, GetText("tc_msg12"), QRect(15, 12, 440, 20)};
    CProgressDlg progress(parent, setup);
    const auto done = std::make_shared<std::atomic<int>>(0);
    // The steps come from the job's thread; the dialog lives until the job has ended.
    const WholeMouseStep step = [done, dialog = &progress](const QString&) {
        dialog->PostPosition(25 * ++*done);
    };
    bool finished = false;
    bool ok = false;
    port.RunWholeMouseJob([job, step](CUSBDriver& link) { return job(link, step); },
                          [&](bool result) {
                              ok = result;
                              finished = true;
                              progress.accept();
                          });
    if (!finished)
        progress.exec();
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return ok;
}

void Failed(QWidget* parent, const QString& why)
{
    CMsgDlg::Message(parent, GetText("tc_backup6") + u'\n' + why);
}

// The mouse can be worked on as a whole now; shows why not otherwise.
bool MouseFree(QWidget* parent, DevicePort& port)
{
    if (!port.Connected()) {
        CMsgDlg::Message(parent, GetText("tc_msg15"));
        return false;
    }
    if (port.Reading()) {
        CMsgDlg::Message(parent, GetText("tc_adv_str15"));
        return false;
    }
    return true;
}

}  // namespace

QString ChooseBackupFile(QWidget* parent, bool save)
{
    const QString filter = QStringLiteral("zvb(*.zvb)");
    if (!save)
        return QFileDialog::getOpenFileName(parent, GetText("tc_backup2"), {}, filter);
    QFileDialog dialog(parent, GetText("tc_backup1"), {}, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("zvb"));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void BackUpMouse(QWidget* parent, DevicePort& port, const QString& path)
{
    if (!MouseFree(parent, port))
        return;
    struct Shared {
        std::optional<MouseBackup> backup;
        QString error;
    };
    const auto shared = std::make_shared<Shared>();
    const bool read = RunBehindProgress(parent, port, [shared](CUSBDriver& link, const WholeMouseStep& step) {
        const std::atomic<bool> never{false};
        shared->backup = ReadWholeMouse(link, never, step, shared->error);
        return shared->backup.has_value();
    });
    QString error = shared->error;
    if (!read || !shared->backup) {
        Failed(parent, error);
        return;
    }
    if (!SaveBackupFile(path, *shared->backup, error)) {
        Failed(parent, error);
        return;
    }
    CMsgDlg::Message(parent, GetText("tc_backup3"));
}

void RestoreMouse(QWidget* parent, DevicePort& port, const QString& path)
{
    if (!MouseFree(parent, port))
        return;
    QString error;
    const std::optional<MouseBackup> backup = LoadBackupFile(path, error);
    const DeviceDescription* device = port.CurrentDevice();
    if (!backup || device == nullptr || !BackupFitsModel(*backup, *device, error)) {
        Failed(parent, error);
        return;
    }
    if (!port.SettingsChangeAllowed() || !CMsgDlg::Confirm(parent, GetText("tc_backup4")))
        return;
    struct Shared {
        MouseBackup backup;
        RestoreOptions options;
        QString error;
    };
    const auto shared = std::make_shared<Shared>(Shared{*backup, RestoreOptions{port.UnderPid(), true}, {}});
    const bool written = RunBehindProgress(parent, port, [shared](CUSBDriver& link, const WholeMouseStep& step) {
        return WriteWholeMouse(link, shared->backup, shared->options, step, shared->error);
    });
    if (!written) {
        Failed(parent, shared->error);
        return;
    }
    // The local copies follow the mouse; the active profile is read again (its macros join the
    // library) and the pages show it.
    TakeBackupIntoLocalProfiles(*backup);
    port.SelectProfile(Profiles().profiles.CurrentIndex());
    CMsgDlg::Message(parent, GetText("tc_backup5"));
}

}  // namespace zorvan
