// zorvanctl lang-check: a language file read as the program reads it, with every text and the
// problems met on the way.
#include "cli/cli.h"

#include "text/language_file.h"

#include <QJsonArray>

namespace zorvan::cli {
namespace {

// One text on one line: backslashes, line feeds and tabs written as escapes.
QString OneLine(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\"));
    text.replace(u'\n', QStringLiteral("\\n"));
    text.replace(u'\t', QStringLiteral("\\t"));
    return text;
}

int LangCheck(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.UsageError(QStringLiteral("lang-check wants one argument: the text.xml to check"));
    const QString path = ctx.args[0];
    const LanguageFile file = ReadLanguageFile(path);
    if (!file.readable)
        return ctx.Fail(QStringLiteral("%1 (give the path of a language file, e.g. en/text.xml)")
                            .arg(file.notes.value(0, QStringLiteral("cannot read %1").arg(path))));

    const auto& keys = TextKeys();
    if (ctx.json) {
        QJsonObject texts;
        for (size_t i = 0; i < keys.size(); ++i)
            texts.insert(QString::fromLatin1(keys[i]), file.texts[i]);
        ctx.PrintJson(QJsonObject{{QStringLiteral("texts"), texts},
                                  {QStringLiteral("notes"), QJsonArray::fromStringList(file.notes)}});
        return kOk;
    }
    int filled = 0;
    for (size_t i = 0; i < keys.size(); ++i) {
        ctx.Print(QStringLiteral("%1: %2").arg(QString::fromLatin1(keys[i]), OneLine(file.texts[i])));
        filled += file.texts[i].isEmpty() ? 0 : 1;
    }
    for (const QString& note : file.notes)
        ctx.Print(QStringLiteral("note: %1").arg(note));
    ctx.Print(QStringLiteral("%1: %2 of %3 texts set, %4 note(s)")
                  .arg(path)
                  .arg(filled)
                  .arg(keys.size())
                  .arg(file.notes.size()));
    return kOk;
}

const CommandRegistrar kRegister("lang-check",
                                 "  lang-check [--json] XML         show every text of a language file and its notes",
                                 LangCheck);

}  // namespace
}  // namespace zorvan::cli
