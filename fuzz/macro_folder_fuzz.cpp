// The macro folder load over an arbitrary folder tree: files of any content and name (any bytes
// but "/" and NUL), nested folders, names starting with "." or "$", and links back up the tree.
// The load must not crash or loop; every tree item must name a path inside the macro folder;
// and a macro written back through its tree item must read back as the record it is.
#include "fuzz_world.h"

#include "macro/macro_file.h"
#include "macro/macro_files.h"
#include "macro/macro_folder_load.h"
#include "macro/macro_library.h"
#include "macro/macro_tree.h"

#include <QFile>

#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace zorvan;

constexpr size_t kMaxDepth = 40;
constexpr int kFlushedItems = 4;

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool More() const { return at_ < size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::string Bytes(size_t n)
    {
        n = std::min(n, size_ - at_);
        std::string bytes(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return bytes;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// A name of the file system: any bytes but "/" and NUL, never "." or "..".
std::string EntryName(Reader& in)
{
    std::string name = in.Bytes(in.Byte() % 24);
    for (char& c : name) {
        if (c == '/' || c == '\0')
            c = '_';
    }
    if (name.empty() || name == "." || name == "..")
        name += '_';
    return name;
}

// The content of a macro file from plain record bytes: rotated as the files are, with the
// record's magic when the entry asks for it (so that most files are macros).
std::string FileContent(Reader& in, bool withMagic)
{
    const size_t length = in.Byte() | (size_t(in.Byte()) << 8);
    std::string bytes = in.Bytes(length % 1024);
    if (withMagic && bytes.size() >= 4)
        std::memcpy(bytes.data(), &kMacroMagic, 4);
    for (char& c : bytes) {
        const auto b = uint8_t(c);
        c = char(uint8_t((b >> 2) | (b << 6)));
    }
    return bytes;
}

// Builds the tree the input describes under `root`. Entries: kind byte (bits 0-1: 0 file,
// 1 enter a new folder, 2 leave it, 3 a link to the folder above; bit 2: the file is a
// macro), the name, and for files a 2-byte length and the content.
void BuildFolder(Reader& in, const std::string& root)
{
    std::vector<std::string> folders{root};
    while (in.More()) {
        const uint8_t kind = in.Byte();
        const std::string path = folders.back() + '/' + EntryName(in);
        switch (kind & 3) {
        case 0: {
            const std::string content = FileContent(in, (kind & 4) != 0);
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd >= 0) {
                (void)!::write(fd, content.data(), content.size());
                ::close(fd);
            }
            break;
        }
        case 1:
            if (folders.size() < kMaxDepth && ::mkdir(path.c_str(), 0755) == 0)
                folders.push_back(path);
            break;
        case 2:
            if (folders.size() > 1)
                folders.pop_back();
            break;
        default:
            (void)!::symlink("..", path.c_str());
            break;
        }
    }
}

void CheckItems(const MacroTreeItem& parent, int& flushed)
{
    const QString inside = MacroFolder() + u'/';
    for (const auto& child : parent.children) {
        const QString path = TreeItem_To_FilePath(child.get());
        if (!path.isEmpty()) {
            fuzz::Expect(path.startsWith(inside), "a tree item names a path outside the macro folder");
            for (const QString& part : path.mid(inside.size()).split(u'/'))
                fuzz::Expect(part != QStringLiteral(".") && part != QStringLiteral(".."), "a path leaves its folder");
        }
        if (child->kind == kMacroItem && !path.isEmpty() && flushed < kFlushedItems) {
            ++flushed;
            Macros().Update(child->macroId, [](StMacro& m) { m.flags |= kMacroDirty; });
            const std::optional<StMacro> record = Macros().FindById(child->macroId);
            if (Flush_Dirty_Macro(child.get()) && record) {
                const std::optional<StMacro> back = ReadMacroFile(path);
                fuzz::Expect(back.has_value(), "a flushed macro does not read back");
                StMacro expected = *record;
                expected.flags &= ~kMacroDirty;
                fuzz::Expect(std::memcmp(&*back, &expected, sizeof expected) == 0, "a flushed macro reads back changed");
            }
        }
        CheckItems(*child, flushed);
    }
}

}  // namespace

// Input: option bits (bit 0: sub-folders are loaded, as with MacroDir), then the entries.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::SetUpWorld();
    Reader in(data, size);
    const bool folders = (in.Byte() & 1) != 0;
    const QString folder = MacroFolder();
    const std::string root = QFile::encodeName(folder).toStdString();
    fuzz::RemoveTree(root);
    fuzz::Expect(::mkdir(root.c_str(), 0755) == 0, "no macro folder");
    BuildFolder(in, root);

    Macros().Clear();
    MacroTree tree;
    fuzz::Expect(LoadMacroFolder(folder, &tree, nullptr, folders, true), "the macro folder could not be read");
    fuzz::Expect(Macros().Count() <= kMacroLibraryMax, "library beyond its bound");
    int flushed = 0;
    CheckItems(*tree.Root(), flushed);
    return 0;
}
