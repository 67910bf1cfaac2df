// The data initialisation runs before the window appears.
// Target: under 5 ms for the default cfg.ini and for a cfg.ini with 30 models.
#include "app/configuration.h"
#include "app/message_box.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString DefaultCfg()
{
    return QStringLiteral(ZORVAN_SOURCE_DIR "/data/cfg.ini");
}

// The default file with its first model repeated as [DEV_1]..[DEV_30].
QString ThirtyModels(const QTemporaryDir& dir)
{
    QFile in(DefaultCfg());
    in.open(QIODevice::ReadOnly);
    const QByteArray text = in.readAll();
    const qsizetype dev1 = text.indexOf("[DEV_1]");
    const qsizetype dev2 = text.indexOf("[DEV_2]");
    QByteArray out = text.left(dev1);
    const QByteArray model = text.mid(dev1, dev2 - dev1);
    for (int n = 1; n <= 30; ++n) {
        QByteArray section = model;
        section.replace("[DEV_1]", "[DEV_" + QByteArray::number(n) + "]");
        section.replace("MID=0x01", "MID=" + QByteArray::number(n));
        out += section;
    }
    const QString path = dir.filePath(QStringLiteral("cfg30.ini"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(out);
    return path;
}

void Load(benchmark::State& state, const QString& path)
{
    zorvan::MessageCollector quiet;
    zorvan::Configuration config;
    for (auto _ : state) {
        const bool ok = zorvan::LoadConfiguration(path, QString(), config);
        benchmark::DoNotOptimize(ok);
    }
}

void BM_LoadDefaultCfg(benchmark::State& state)
{
    Load(state, DefaultCfg());
}
BENCHMARK(BM_LoadDefaultCfg)->Unit(benchmark::kMillisecond);

void BM_LoadThirtyModels(benchmark::State& state)
{
    QTemporaryDir dir;
    Load(state, ThirtyModels(dir));
}
BENCHMARK(BM_LoadThirtyModels)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
