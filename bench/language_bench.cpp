// Loading a language file as the program does at start-up and at every language switch:
// read, decode, parse and look up all 197 texts.
// Target: under 2 ms for the largest shipped file (zh/text.xml, UTF-16) on the CI machine.
#include "text/language_texts.h"
#include "text/xml_document.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QString>

namespace {

QString DataFile(const char* name)
{
    return QStringLiteral(ZORVAN_SOURCE_DIR "/data/") + QString::fromLatin1(name);
}

void BM_LoadLanguageTexts(benchmark::State& state, const char* file)
{
    const QString path = DataFile(file);
    for (auto _ : state)
        benchmark::DoNotOptimize(zorvan::LoadLanguageTexts(path));
    state.SetBytesProcessed(int64_t(state.iterations()) * QFile(path).size());
}

// Decoding and parsing alone, without the file system.
void BM_ParseLanguageFile(benchmark::State& state, const char* file)
{
    QFile f(DataFile(file));
    if (!f.open(QIODevice::ReadOnly)) {
        state.SkipWithError("cannot read the language file");
        return;
    }
    const QByteArray bytes = f.readAll();
    for (auto _ : state) {
        zorvan::XmlDocument doc;
        doc.SetBytes(bytes);
        benchmark::DoNotOptimize(doc.FindElement(u"config"));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

BENCHMARK_CAPTURE(BM_LoadLanguageTexts, zh_utf16, "zh/text.xml")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LoadLanguageTexts, de_latin1, "de/text.xml")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LoadLanguageTexts, en_utf8, "en/text.xml")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ParseLanguageFile, zh_utf16, "zh/text.xml")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
