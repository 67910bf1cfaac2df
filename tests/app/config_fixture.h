#pragma once
// Loads a cfg.ini written by the test and keeps the messages the load showed.
#include "app/configuration.h"
#include "app/message_box.h"
#include "support/test_support.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace zorvan::test {

struct LoadResult {
    bool ok = false;
    Configuration config;
    std::vector<ShownMessage> messages;

    QStringList Texts() const
    {
        QStringList texts;
        for (const ShownMessage& m : messages)
            texts << m.text;
        return texts;
    }
};

inline LoadResult LoadCfg(const QByteArray& text)
{
    TempDir dir;
    const QString path = dir.File(QStringLiteral("cfg.ini"));
    EXPECT_TRUE(WriteFile(path, text));
    LoadResult result;
    MessageCollector collector;
    result.ok = LoadConfiguration(path, dir.File(QStringLiteral("Log.txt")), result.config);
    result.messages = collector.Messages();
    return result;
}

// A minimal model section that loads without messages, followed by `extra` lines.
inline QByteArray Device(int n, const QByteArray& extra = {})
{
    return "[DEV_" + QByteArray::number(n) + "]\nSensor=0x3050\nCID=" + QByteArray::number(n) + "\nMID=1\n" + extra + "\n";
}

inline QByteArray Opt(const QByteArray& lines)
{
    return "[OPT]\nappdir=Zorvan\n" + lines + "\n";
}

}  // namespace zorvan::test
