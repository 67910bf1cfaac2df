#include "macro/macro_tree.h"

#include "macro/macro_files.h"

#include <QStringList>

#include <algorithm>

namespace zorvan {
namespace {

constexpr int kMaxTreeDepth = 20;

MacroTreeItem* FindMacroBelow(MacroTreeItem* item, uint32_t macroId)
{
    for (const auto& child : item->children) {
        if (child->kind == kMacroItem && child->macroId == macroId)
            return child.get();
        if (MacroTreeItem* found = FindMacroBelow(child.get(), macroId))
            return found;
    }
    return nullptr;
}

}  // namespace

MacroTree::MacroTree() = default;

MacroTreeItem* MacroTree::Insert(MacroTreeItem* parent, int kind, const QString& text, uint32_t macroId,
                                 const QString& iconPath)
{
    if (parent == nullptr)
        parent = &root_;
    auto item = std::make_unique<MacroTreeItem>();
    item->text = text;
    item->kind = kind;
    item->macroId = macroId;
    item->iconPath = iconPath;
    item->parent = parent;
    parent->children.push_back(std::move(item));
    return parent->children.back().get();
}

void MacroTree::Remove(MacroTreeItem* item)
{
    if (item == nullptr || item->parent == nullptr)
        return;
    auto& siblings = item->parent->children;
    siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                  [item](const std::unique_ptr<MacroTreeItem>& c) { return c.get() == item; }),
                   siblings.end());
}

MacroTreeItem* MacroTree::FindChild(const MacroTreeItem* parent, const QString& text) const
{
    if (parent == nullptr)
        parent = &root_;
    for (const auto& child : parent->children) {
        if (QString::compare(child->text, text, Qt::CaseInsensitive) == 0)
            return child.get();
    }
    return nullptr;
}

QString MacroTree::FreeChildText(const MacroTreeItem* parent, int kind, const QString& text) const
{
    if (parent == nullptr)
        parent = &root_;
    const auto taken = [parent, kind](const QString& candidate) {
        const QString onDisk = SafeFileName(candidate);
        return std::any_of(parent->children.begin(), parent->children.end(), [&](const auto& child) {
            return child->kind == kind && SafeFileName(child->text).compare(onDisk, Qt::CaseInsensitive) == 0;
        });
    };
    // An unnamed item is numbered from the name its file has ("_ (2)").
    return taken(text) ? FirstFreeName(SafeFileName(text), taken) : text;
}

MacroTreeItem* MacroTree::FindMacro(uint32_t macroId)
{
    return FindMacroBelow(&root_, macroId);
}

void MacroTree::Clear()
{
    root_.children.clear();
}

QString TreeItem_To_FilePath(const MacroTreeItem* item)
{
    if (item == nullptr || item->parent == nullptr || MacroFolder().isEmpty())
        return {};
    QStringList names;
    for (const MacroTreeItem* at = item; at->parent != nullptr; at = at->parent) {
        // Deeper items would lose their outer folders: refuse rather than name a wrong file.
        if (names.size() == kMaxTreeDepth)
            return {};
        names.prepend(SafeFileName(at->text));
    }
    QString path = MacroFolder();
    for (const QString& name : names)
        path += u'/' + name;
    if (item->kind == kMacroItem)
        path += QStringLiteral(".qxm");
    return path;
}

}  // namespace zorvan
