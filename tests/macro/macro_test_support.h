#pragma once
// Helpers of the macro tests: building records, capturing log lines, a macro folder of its own.
#include "app/log.h"
#include "app/paths.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "support/test_support.h"

#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

namespace zorvan::test {

// A record with a fixed id (no 20 ms wait) and the given events.
inline StMacro MakeMacro(const QString& name, std::initializer_list<MacroEvent> events, uint32_t id = 0x123456)
{
    StMacro m;
    std::memset(&m, 0, sizeof m);
    m.magic = kMacroMagic;
    m.id = id;
    m.autoDelay = 1;
    m.repeatCount = 1;
    SetMacroName(m, name);
    int i = 0;
    for (const MacroEvent& e : events)
        m.events[i++] = e;
    return m;
}

// Collects the log entries written while it lives.
class LogCapture {
public:
    LogCapture()
    {
        SetLogEcho([this](const std::string& entry) {
            std::lock_guard lock(mutex_);
            lines_.push_back(entry);
        });
    }
    ~LogCapture() { SetLogEcho({}); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    bool Contains(const std::string& text) const
    {
        std::lock_guard lock(mutex_);
        return std::any_of(lines_.begin(), lines_.end(),
                           [&text](const std::string& l) { return l.find(text) != std::string::npos; });
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

// An empty library and a data folder of the test's own (its macro folder is DataDir() + "Mac").
class MacroFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedDataDir_ = Paths().dataDir;
        Paths().dataDir = temp_.Path();
        Macros().Clear();
    }
    void TearDown() override
    {
        Macros().Clear();
        Paths().dataDir = savedDataDir_;
    }
    QString DataDir() const { return temp_.Path(); }
    QString MacroDir() const { return temp_.Path() + QStringLiteral("Mac/"); }

private:
    TempDir temp_;
    QString savedDataDir_;
};

}  // namespace zorvan::test
