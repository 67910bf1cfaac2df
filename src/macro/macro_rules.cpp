#include "macro/macro_rules.h"

#include "macro/macro_file.h"
#include "macro/macro_record.h"

#include <QFile>

#include <cerrno>
#include <vector>

namespace zorvan {

std::optional<QString> CheckedMacroName(const QString& typed)
{
    static const QString kForbidden = QStringLiteral("/\\?+=-*&%!#;");
    for (const QChar c : typed)
        if (kForbidden.contains(c))
            return std::nullopt;
    const qsizetype dot = typed.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? typed : typed.left(dot);
}

bool MouseCodesAllowed(const StMacro& macro)
{
    const int count = MacroEventCount(macro);
    for (int i = 0; i < count; ++i) {
        const MacroEvent event = macro.events[i];
        if ((event.action & kActionMove) != 0 || event.code < kMouseLeft || event.code > kWheelDown)
            continue;
        if ((kAllowedMouseEventMask & (1u << (event.code - kMouseLeft))) == 0)
            return false;
    }
    return true;
}

MacroImport ReadMacroForImport(const QString& path)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("Open macro file failed. error=0x%1").arg(errno, 0, 16)};
    std::vector<uint8_t> bytes(kMacroFileSize);
    errno = 0;
    if (file.read(reinterpret_cast<char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size()))
        return {std::nullopt, QStringLiteral("Read macro file failed. error=0x%1").arg(errno, 0, 16)};
    std::optional<StMacro> macro = DecodeMacroFile(bytes);
    if (!macro)
        return {std::nullopt, QStringLiteral("This is not a valid macro file.")};
    if (!MouseCodesAllowed(*macro))
        return {std::nullopt, QStringLiteral("This macro contains unsupported key.")};
    return {macro, QString()};
}

}  // namespace zorvan
