#pragma once
// CZorvanApp: brings the program up (folders, texts, configuration, log, single instance,
// application font), runs the main window and releases everything at the end.
#include <QString>

#include <memory>

namespace zorvan {

class CZorvanDlg;
class DevicePort;
class SingleInstance;

class CZorvanApp {
public:
    CZorvanApp(int argc, char** argv);
    ~CZorvanApp();

    // The start-up sequence; false when the program is to end at once (configuration failure,
    // or another copy runs). `exitCode` then holds the process's exit code.
    bool InitInstance(int& exitCode);
    // Runs the main window until it closes; the process's exit code.
    int Run();
    void ExitInstance();

    const QString& Title() const { return title_; }
    bool HasArguments() const { return hasArguments_; }

private:
    int argc_;
    bool hasArguments_ = false;
    bool started_ = false;
    QString title_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<DevicePort> session_;
    std::unique_ptr<CZorvanDlg> window_;
};

}  // namespace zorvan
