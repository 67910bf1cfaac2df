#include "macro/macro_record.h"

#include "macro/time_stamp_id.h"

#include <algorithm>
#include <cstring>

namespace zorvan {

QString MacroName(const StMacro& macro)
{
    const char16_t* begin = macro.name;
    const char16_t* end = std::find(begin, begin + kMacroNameUnits, u'\0');
    return QString::fromUtf16(begin, end - begin);
}

void SetMacroName(StMacro& macro, const QString& name)
{
    std::memset(macro.name, 0, sizeof macro.name);
    const qsizetype units = std::min<qsizetype>(name.size(), kMacroNameMaxChars);
    std::memcpy(macro.name, name.utf16(), size_t(units) * sizeof(char16_t));
}

int MacroEventCount(const StMacro& macro)
{
    int n = 0;
    while (n < kMacroEventSlots && !macro.events[n].IsTerminator())
        ++n;
    return n;
}

StMacro NewEmptyMacro(const QString& name)
{
    StMacro macro;
    std::memset(&macro, 0, sizeof macro);
    macro.magic = kMacroMagic;
    macro.id = NewTimeStampId();
    macro.autoDelay = 1;
    macro.loopMode = kLoopCount;
    macro.repeatCount = 1;
    SetMacroName(macro, name);
    return macro;
}

}  // namespace zorvan
