#pragma once
// CZorvanApp: brings the program up (folders, texts, configuration, log, single instance,
// application font), runs the main window and releases everything at the end.
#include <QString>

#include <memory>

namespace zorvan {

class CZorvanDlg;
class DevicePort;
class ExitRequests;
class SingleInstance;

class CZorvanApp {
public:
    // `appDir`: the application folder (cfg.ini, texts, skins), ending with '/'.
    CZorvanApp(int argc, char** argv, QString appDir);
    ~CZorvanApp();

    // The start-up sequence; false when the program is to end at once (configuration failure,
    // or another copy runs). `exitCode` then holds the process's exit code.
    bool InitInstance(int& exitCode);
    // Runs the main window until it closes; the process's exit code.
    int Run();
    void ExitInstance();

    const QString& Title() const { return title_; }
    bool HasArguments() const { return hasArguments_; }
    // While Run() runs: the main window and its device session.
    CZorvanDlg* Window() const { return window_.get(); }
    DevicePort* Port() const { return session_.get(); }

private:
    int argc_;
    QString appDir_;
    bool hasArguments_ = false;
    bool started_ = false;
    QString title_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<ExitRequests> exitRequests_;
    std::unique_ptr<DevicePort> session_;
    std::unique_ptr<CZorvanDlg> window_;
};

}  // namespace zorvan
