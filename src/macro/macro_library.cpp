#include "macro/macro_library.h"

#include "app/function_catalogue.h"
#include "macro/macro_record.h"

#include <algorithm>

namespace zorvan {
namespace {

// Names are compared over the whole name field, as the record holds at most 40 units.
bool SameName(const QString& a, const QString& b)
{
    return QString::compare(a.left(kMacroNameUnits), b.left(kMacroNameUnits), Qt::CaseInsensitive) == 0;
}

}  // namespace

int MacroLibrary::Count() const
{
    std::lock_guard lock(mutex_);
    return int(records_.size());
}

std::optional<StMacro> MacroLibrary::FindById(uint32_t id) const
{
    std::lock_guard lock(mutex_);
    const auto it = std::find_if(records_.begin(), records_.end(), [id](const StMacro& m) { return m.id == id; });
    if (it == records_.end())
        return std::nullopt;
    return *it;
}

std::optional<StMacro> MacroLibrary::FindByName(const QString& name) const
{
    if (name.isEmpty())
        return std::nullopt;
    std::lock_guard lock(mutex_);
    const auto it = std::find_if(records_.begin(), records_.end(),
                                 [&name](const StMacro& m) { return SameName(MacroName(m), name); });
    if (it == records_.end())
        return std::nullopt;
    return *it;
}

bool MacroLibrary::Contains(uint32_t id) const
{
    std::lock_guard lock(mutex_);
    return std::any_of(records_.begin(), records_.end(), [id](const StMacro& m) { return m.id == id; });
}

bool MacroLibrary::AddCopy(const StMacro& record)
{
    std::lock_guard lock(mutex_);
    if (records_.size() >= size_t(kMacroLibraryMax))
        return false;
    if (records_.capacity() == 0)
        records_.reserve(size_t(kMacroLibraryMax));
    records_.push_back(record);
    return true;
}

bool MacroLibrary::Remove(uint32_t id)
{
    std::lock_guard lock(mutex_);
    const auto it = std::find_if(records_.begin(), records_.end(), [id](const StMacro& m) { return m.id == id; });
    if (it == records_.end())
        return false;
    records_.erase(it);
    return true;
}

bool MacroLibrary::Update(uint32_t id, const std::function<void(StMacro&)>& edit)
{
    std::lock_guard lock(mutex_);
    const auto it = std::find_if(records_.begin(), records_.end(), [id](const StMacro& m) { return m.id == id; });
    if (it == records_.end())
        return false;
    edit(*it);
    return true;
}

std::vector<StMacro> MacroLibrary::Snapshot(std::span<const uint32_t> ids) const
{
    std::vector<StMacro> copies;
    std::lock_guard lock(mutex_);
    for (const uint32_t id : ids) {
        const auto it = std::find_if(records_.begin(), records_.end(), [id](const StMacro& m) { return m.id == id; });
        if (it != records_.end())
            copies.push_back(*it);
    }
    return copies;
}

std::vector<StMacro> MacroLibrary::All() const
{
    std::lock_guard lock(mutex_);
    return records_;
}

void MacroLibrary::ResetReservedFields()
{
    std::lock_guard lock(mutex_);
    for (StMacro& m : records_)
        m.reserved = 0;
}

void MacroLibrary::Clear()
{
    std::lock_guard lock(mutex_);
    records_.clear();
}

MacroLibrary& Macros()
{
    static MacroLibrary library;
    return library;
}

bool MacroEqual(const StMacro& a, const StMacro& b)
{
    if (!SameName(MacroName(a), MacroName(b)))
        return false;
    const int n = MacroEventCount(a);
    if (n != MacroEventCount(b))
        return false;
    for (int i = 0; i < n; ++i) {
        const MacroEvent ea = a.events[i];
        const MacroEvent eb = b.events[i];
        if (ea.code != eb.code || ea.action != eb.action || ea.delay != eb.delay)
            return false;
    }
    return true;
}

bool MacroInUse(const KeyTable& keys, uint32_t id)
{
    for (const auto& set : keys) {
        for (const KeyAssignment& key : set) {
            if (key.Major() == kClassMacro && key.dwMacroID == id)
                return true;
        }
    }
    return false;
}

}  // namespace zorvan
