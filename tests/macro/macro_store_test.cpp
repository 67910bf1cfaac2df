// The macro folder on disk: folder load, flushing, the device merge, the profile import
// operations, "mac.dct" and file names formed from outside names.
#include "app/configuration.h"
#include "macro/macro_file.h"
#include "macro/macro_files.h"
#include "macro/macro_folder_load.h"
#include "macro/macro_library.h"
#include "macro/macro_tree.h"
#include "macro_test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace zorvan {
namespace {

using test::LogCapture;
using test::MakeMacro;
using test::ReadFile;
using test::WriteFile;

QByteArray FileImage(const StMacro& m)
{
    const auto image = EncodeMacroFile(m);
    return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

std::optional<StMacro> FileMacro(const QString& path)
{
    const QByteArray bytes = ReadFile(path);
    return DecodeMacroFile(std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())));
}

// Every file below `folder`, relative to it, sorted.
QStringList FilesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

std::vector<uint32_t> LibraryIds()
{
    std::vector<uint32_t> ids;
    for (const StMacro& m : Macros().All())
        ids.push_back(m.id);
    return ids;
}

class MacroFiles : public test::MacroFolderTest {};

class MacroFolderLoad : public test::MacroFolderTest {
protected:
    void SetUp() override
    {
        MacroFolderTest::SetUp();
        WriteFile(MacroDir() + "a.qxm", FileImage(MakeMacro("A", {{0x41, 1, 1}}, 1)));
        WriteFile(MacroDir() + "x.txt", FileImage(MakeMacro("other name", {{0x42, 1, 1}}, 2)));
        WriteFile(MacroDir() + "short.qxm", FileImage(MakeMacro("S", {}, 3)).left(833));
        WriteFile(MacroDir() + "long.qxm", FileImage(MakeMacro("L", {}, 4)) + QByteArray("\x7F"));
        QByteArray wrongMagic = FileImage(MakeMacro("W", {}, 5));
        wrongMagic[0] = char(wrongMagic[0] ^ 0x10);
        WriteFile(MacroDir() + "wrong.qxm", wrongMagic);
        WriteFile(MacroDir() + "Sub/s.qxm", FileImage(MakeMacro("s", {}, 6)));
        WriteFile(MacroDir() + "Sub/Sub.png", QByteArray("not checked"));
        WriteFile(MacroDir() + "Sub/Deeper/d.qxm", FileImage(MakeMacro("d", {}, 7)));
        WriteFile(MacroDir() + ".hidden/h.qxm", FileImage(MakeMacro("h", {}, 8)));
        WriteFile(MacroDir() + "$sys/y.qxm", FileImage(MakeMacro("y", {}, 9)));
        // Left by a save that was killed before its rename: a whole image, but no macro file.
        WriteFile(MacroDir() + ".a.qxm.k3j9x.part", FileImage(MakeMacro("A", {{0x41, 1, 1}}, 10)));
        ::mkfifo(QFile::encodeName(MacroDir() + "pipe.qxm").constData(), 0600);
    }
};

TEST_F(MacroFolderLoad, TopFolderOnlyWhenFoldersAreOff)
{
    MacroTree tree;
    EXPECT_TRUE(LoadMacroFolder(MacroFolder(), &tree, nullptr, false, true));
    EXPECT_EQ(LibraryIds(), (std::vector<uint32_t>{1, 4, 2}));  // a, long, x (name order)
    ASSERT_EQ(tree.Root()->children.size(), 3u);
    // Named after the file, not the record; any extension.
    const MacroTreeItem* x = tree.FindChild(nullptr, "x");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->kind, kMacroItem);
    EXPECT_EQ(x->macroId, 2u);
    EXPECT_EQ(tree.FindChild(nullptr, "Sub"), nullptr);
}

TEST_F(MacroFolderLoad, SubFoldersWhenFoldersAreOnButNotDotOrDollarFolders)
{
    MacroTree tree;
    EXPECT_TRUE(LoadMacroFolder(MacroFolder(), &tree, nullptr, true, false));
    EXPECT_EQ(Macros().Count(), 0);  // add-to-library off
    const MacroTreeItem* sub = tree.FindChild(nullptr, "sub");
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->kind, kFolderItem);
    EXPECT_EQ(sub->iconPath, MacroDir() + "Sub/Sub.png");
    ASSERT_NE(tree.FindChild(sub, "s"), nullptr);
    const MacroTreeItem* deeper = tree.FindChild(sub, "Deeper");
    ASSERT_NE(deeper, nullptr);
    EXPECT_TRUE(deeper->iconPath.isEmpty());
    EXPECT_EQ(TreeItem_To_FilePath(tree.FindChild(deeper, "d")), MacroFolder() + "/Sub/Deeper/d.qxm");
    EXPECT_EQ(tree.FindChild(nullptr, ".hidden"), nullptr);
    EXPECT_EQ(tree.FindChild(nullptr, "$sys"), nullptr);
}

TEST_F(MacroFolderLoad, LibraryLoadFollowsTheMacroDirOption)
{
    const int saved = Config().opt.MacroDir;
    Config().opt.MacroDir = 0;
    EXPECT_TRUE(LoadMacroLibrary());
    EXPECT_FALSE(Macros().Contains(6));
    Macros().Clear();
    Config().opt.MacroDir = 1;
    EXPECT_TRUE(LoadMacroLibrary());
    EXPECT_TRUE(Macros().Contains(6));
    EXPECT_TRUE(Macros().Contains(7));
    EXPECT_FALSE(Macros().Contains(8));
    EXPECT_FALSE(Macros().Contains(9));
    Config().opt.MacroDir = saved;
}

TEST_F(MacroFiles, LoadingAMissingFolderFails)
{
    EXPECT_FALSE(LoadMacroFolder(MacroFolder(), nullptr, nullptr, true, true));
}

TEST(SafeFileNameTest, NamesFromOutsideStayInsideTheirFolder)
{
    struct Case {
        QString name;
        QString file;
    } cases[] = {
        {"Jump", "Jump"},
        {"../../evil", "______evil"},
        {"a/b", "a_b"},
        {"x\\y", "x_y"},
        {"..", "__"},
        {"...", "__."},
        {".", "_"},
        {"", "_"},
        {QString::fromUtf16(u"n\0l", 3), "n_l"},
        {"tab\there\x7F", "tab_here_"},
        {"a..b", "a__b"},
        {".dot", ".dot"},
        {QString::fromUtf8("Ünïcode ✓"), QString::fromUtf8("Ünïcode ✓")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SafeFileName(c.name), c.file) << c.name.toStdString();
}

TEST_F(MacroFiles, HostileNamesFromTheMouseWriteOnlyIntoTheMacroFolder)
{
    const QString hostile[] = {"../../evil", "../Mac2/x", "/etc/passwd", "..", ".", QString::fromUtf16(u"a\0b", 3), "c\nd", "\\..\\w"};
    uint32_t id = 100;
    for (const QString& name : hostile)
        ASSERT_TRUE(Add_Macro(MakeMacro(name, {{0x41, 1, 1}}, ++id))) << name.toStdString();

    // Nothing outside Mac/, and every file there is a loadable macro.
    for (const QString& file : FilesBelow(DataDir()))
        EXPECT_TRUE(file.startsWith("Mac/")) << file.toStdString();
    EXPECT_EQ(FilesBelow(MacroDir()).size(), 8);
    // The records keep their names (up to a NUL, which ends the name field).
    id = 100;
    for (const QString& name : hostile)
        EXPECT_EQ(MacroName(*Macros().FindById(++id)), name.section(QChar(0), 0, 0));
    Macros().Clear();
    EXPECT_TRUE(LoadMacroFolder(MacroFolder(), nullptr, nullptr, true, true));
    EXPECT_EQ(Macros().Count(), 8);
}

TEST_F(MacroFiles, TreeItemPathRunsFromTheOutermostAncestorDown)
{
    MacroTree tree;
    MacroTreeItem* folder = tree.Insert(nullptr, kFolderItem, "Games");
    MacroTreeItem* macro = tree.Insert(folder, kMacroItem, "../up", 5);
    EXPECT_EQ(TreeItem_To_FilePath(folder), MacroFolder() + "/Games");
    EXPECT_EQ(TreeItem_To_FilePath(macro), MacroFolder() + "/Games/___up.qxm");
    EXPECT_EQ(TreeItem_To_FilePath(tree.Root()), QString());
    EXPECT_EQ(TreeItem_To_FilePath(nullptr), QString());

    MacroTreeItem* at = nullptr;
    for (int depth = 1; depth <= 19; ++depth)
        at = tree.Insert(at, kFolderItem, "f");
    EXPECT_FALSE(TreeItem_To_FilePath(tree.Insert(at, kMacroItem, "m20", 1)).isEmpty());
    at = tree.Insert(at, kFolderItem, "f");
    EXPECT_TRUE(TreeItem_To_FilePath(tree.Insert(at, kMacroItem, "m21", 1)).isEmpty());

    EXPECT_EQ(tree.FindMacro(5), macro);
    tree.Remove(folder);
    EXPECT_EQ(tree.FindMacro(5), nullptr);
}

TEST_F(MacroFiles, FlushWritesOnlyDirtyMacrosAndCleansThem)
{
    MacroTree tree;
    MacroTreeItem* folder = tree.Insert(nullptr, kFolderItem, "Games");
    MacroTreeItem* item = tree.Insert(folder, kMacroItem, "Reload", 42);
    StMacro m = MakeMacro("Reload", {{0x52, 1, 5}}, 42);
    Macros().AddCopy(m);

    EXPECT_TRUE(Flush_Dirty_Macro(item));
    EXPECT_FALSE(QFileInfo::exists(MacroDir() + "Games/Reload.qxm"));  // clean: not written

    Macros().Update(42, [](StMacro& r) { r.flags = kMacroEventsChanged; });
    EXPECT_TRUE(Flush_Dirty_Macro(item));
    const std::optional<StMacro> written = FileMacro(MacroDir() + "Games/Reload.qxm");
    ASSERT_TRUE(written);
    EXPECT_EQ(written->flags, 0u);
    EXPECT_TRUE(MacroEqual(*written, m));
    EXPECT_EQ(Macros().FindById(42)->flags, 0u);

    LogCapture log;
    EXPECT_FALSE(Flush_Dirty_Macro(tree.Insert(nullptr, kMacroItem, "Gone", 43)));
    EXPECT_TRUE(log.Contains("Flush_Dirty_Macro: pItem=0x2b(Gone) error"));
    EXPECT_TRUE(Flush_Dirty_Macro(folder));
}

TEST_F(MacroFiles, AFailedWriteKeepsTheOldFileAndTheRecordDirty)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    const QString path = MacroDir() + "Reload.qxm";
    const QByteArray old = FileImage(MakeMacro("Reload", {{0x41, 1, 1}}, 42));
    WriteFile(path, old);
    Macros().AddCopy(MakeMacro("Reload", {{0x52, 1, 5}}, 42));
    Macros().Update(42, [](StMacro& r) { r.flags = kMacroDirty; });

    // The folder cannot take the temporary file: no write, the old file stays whole.
    ASSERT_EQ(::chmod(QFile::encodeName(MacroDir()).constData(), 0500), 0);
    MacroTree tree;
    const bool flushed = Flush_Dirty_Macro(tree.Insert(nullptr, kMacroItem, "Reload", 42));
    ::chmod(QFile::encodeName(MacroDir()).constData(), 0700);
    EXPECT_FALSE(flushed);
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(Macros().FindById(42)->flags, kMacroDirty);
}

TEST_F(MacroFiles, AFolderInTheWayOfTheFileKeepsTheRecordDirty)
{
    QDir().mkpath(MacroDir() + "Reload.qxm");
    Macros().AddCopy(MakeMacro("Reload", {{0x52, 1, 5}}, 42));
    Macros().Update(42, [](StMacro& r) { r.flags = kMacroOptionsChanged; });
    MacroTree tree;
    EXPECT_FALSE(Flush_Dirty_Macro(tree.Insert(nullptr, kMacroItem, "Reload", 42)));
    EXPECT_EQ(Macros().FindById(42)->flags, kMacroOptionsChanged);
    EXPECT_TRUE(QFileInfo(MacroDir() + "Reload.qxm").isDir());
}

class DeviceMerge : public test::MacroFolderTest {
protected:
    void SetUp() override
    {
        MacroFolderTest::SetUp();
        Macros().AddCopy(library_);
        WriteFile(MacroDir() + "Jump.qxm", FileImage(library_));
    }
    const StMacro library_ = MakeMacro("Jump", {{0x20, 1, 30}, {0x20, 0, 0}}, 0x010101);
};

TEST_F(DeviceMerge, AnEqualMacroChangesNothing)
{
    const StMacro device = MakeMacro("JUMP", {{0x20, 1, 30}, {0x20, 0, 0}}, 0x020202);
    EXPECT_EQ(MergeDeviceMacro(device, 0), 0x010101u);
    EXPECT_EQ(Macros().Count(), 1);
    EXPECT_EQ(MacroName(*Macros().FindById(0x010101)), QStringLiteral("Jump"));
    EXPECT_EQ(FilesBelow(MacroDir()), QStringList{"Jump.qxm"});
}

// A slot keeps 15 characters of a name, the events as the mouse knows them and no delay after
// the last event: the key's own macro is kept when its events agree, then a macro whose name and
// events agree; anything else is added. No library macro is ever overwritten.
TEST_F(DeviceMerge, TheKeysMacroOrAnAgreeingOneIsKeptAnythingElseIsAdded)
{
    const StMacro longA = MakeMacro("Reload sequence A", {{0x52, 1, 5}, {0x52, 0, 40}}, 0x0A0A0A);
    const StMacro longB = MakeMacro("Reload sequence B", {{0x11, 1, 5}, {0x52, 1, 5}, {0x52, 0, 5}, {0x11, 0, 0}}, 0x0B0B0B);
    // As the mouse gives them back: cut names, left Ctrl for Ctrl, no last delay.
    const StMacro slotA = MakeMacro("Reload sequence", {{0x52, 1, 5}, {0x52, 0, 0}}, 0x0C0C01);
    const StMacro slotB = MakeMacro("Reload sequence", {{0xA2, 1, 5}, {0x52, 1, 5}, {0x52, 0, 5}, {0xA2, 0, 0}}, 0x0C0C02);
    const StMacro slotJumpOther = MakeMacro("Jump", {{0x20, 1, 99}, {0x20, 0, 0}}, 0x0C0C03);
    struct Case {
        const char* name;
        StMacro slot;
        uint32_t keyMacroId;
        uint32_t expected;  // the device record's own id: added
    };
    const Case cases[] = {
        {"the key's own macro, name cut", slotA, 0x0A0A0A, 0x0A0A0A},
        {"the key's own macro, generic Ctrl", slotB, 0x0B0B0B, 0x0B0B0B},
        {"the key's own macro under another name", MakeMacro("Renamed", {{0x52, 1, 5}, {0x52, 0, 0}}, 0x0C0C04),
         0x0A0A0A, 0x0A0A0A},
        {"a key without a macro: name and events agree", slotB, 0, 0x0B0B0B},
        {"the key referred to another macro: name and events agree", slotA, 0x0B0B0B, 0x0A0A0A},
        {"same cut name, other events", MakeMacro("Reload sequence", {{0x41, 1, 5}}, 0x0C0C05), 0x0A0A0A, 0x0C0C05},
        {"same name, other events", slotJumpOther, 0x010101, 0x0C0C03},
        {"the key's macro is gone", MakeMacro("Jump", {{0x20, 1, 7}}, 0x0C0C06), 0x777777, 0x0C0C06},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Macros().Clear();
        QDir(MacroDir()).removeRecursively();
        for (const StMacro& m : {library_, longA, longB})
            ASSERT_TRUE(Macros().AddCopy(m));
        const std::vector<StMacro> before = Macros().All();
        EXPECT_EQ(MergeDeviceMacro(c.slot, c.keyMacroId), c.expected);
        std::vector<StMacro> after = Macros().All();
        const bool added = c.expected == c.slot.id;
        ASSERT_EQ(after.size(), before.size() + (added ? 1 : 0));
        for (size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(std::memcmp(&after[i], &before[i], sizeof(StMacro)), 0) << MacroName(before[i]).toStdString();
        if (added)
            EXPECT_TRUE(FileMacro(MacroDir() + MacroName(c.slot) + ".qxm"));
        else
            EXPECT_EQ(FilesBelow(MacroDir()), QStringList{});
    }
}

TEST_F(DeviceMerge, AnAddedMacroGetsATreeItemAndLeavesTheNamesakeAlone)
{
    MacroTree tree;
    tree.Insert(nullptr, kMacroItem, "Jump", 0x010101);
    const StMacro device = MakeMacro("Jump", {{0x20, 1, 31}}, 0x020202);
    EXPECT_EQ(MergeDeviceMacro(device, 0x010101, &tree), 0x020202u);
    ASSERT_TRUE(tree.FindChild(nullptr, "Jump (2)"));
    EXPECT_EQ(tree.FindChild(nullptr, "Jump (2)")->macroId, 0x020202u);
    EXPECT_EQ(FileMacro(MacroDir() + "Jump (2).qxm")->id, 0x020202u);
    EXPECT_EQ(ReadFile(MacroDir() + "Jump.qxm"), FileImage(library_));
    EXPECT_EQ(MacroEventCount(*Macros().FindById(0x010101)), 2);
}

TEST_F(DeviceMerge, AnEmptyOrUnknownNameIsAdded)
{
    MacroTree tree;
    const StMacro unnamed = MakeMacro("", {{0x20, 1, 30}, {0x20, 0, 0}}, 0x030303);
    const StMacro fresh = MakeMacro("Fresh", {{0x46, 1, 0}}, 0x040404);
    EXPECT_EQ(MergeDeviceMacro(unnamed, 0, &tree), 0x030303u);
    EXPECT_EQ(MergeDeviceMacro(fresh, 0, &tree), 0x040404u);
    EXPECT_EQ(LibraryIds(), (std::vector<uint32_t>{0x010101, 0x030303, 0x040404}));
    EXPECT_EQ(Macros().FindById(0x040404)->flags, 0u);
    ASSERT_EQ(tree.Root()->children.size(), 2u);
    EXPECT_EQ(tree.FindChild(nullptr, "Fresh")->macroId, 0x040404u);
    EXPECT_TRUE(FileMacro(MacroDir() + "Fresh.qxm"));
    EXPECT_TRUE(FileMacro(MacroDir() + "_.qxm"));
    // The unnamed macro a key holds is found again by the key at the next read.
    EXPECT_EQ(MergeDeviceMacro(MakeMacro("", {{0x20, 1, 30}, {0x20, 0, 0}}, 0x050505), 0x030303, &tree), 0x030303u);
    EXPECT_EQ(Macros().Count(), 3);
}

// Several unnamed macros on the mouse, or names that are made safe alike ("a/b", "a_b"), must
// each keep a file of their own: the library reloads from the files at the next start.
TEST_F(DeviceMerge, MacrosWhoseFileNamesCollideKeepAFileEach)
{
    const StMacro macros[] = {MakeMacro("", {{0x20, 1, 1}}, 0x0A0A01), MakeMacro("", {{0x21, 1, 1}}, 0x0A0A02),
                              MakeMacro("a/b", {{0x22, 1, 1}}, 0x0A0A03), MakeMacro("a_b", {{0x23, 1, 1}}, 0x0A0A04)};
    for (const bool withTree : {false, true}) {
        SCOPED_TRACE(withTree ? "with a tree" : "without a tree");
        Macros().Clear();
        QDir(MacroDir()).removeRecursively();
        MacroTree tree;
        for (const StMacro& m : macros)
            ASSERT_TRUE(MergeDeviceMacro(m, 0, withTree ? &tree : nullptr));
        EXPECT_EQ(FilesBelow(MacroDir()), (QStringList{"_ (2).qxm", "_.qxm", "a_b (2).qxm", "a_b.qxm"}));
        for (const QString& file : FilesBelow(MacroDir()))
            EXPECT_EQ(FileMacro(MacroDir() + file)->flags, 0u) << file.toStdString();

        // A changed macro is added with a file of its own; the others keep theirs.
        StMacro changed = MakeMacro("a_b", {{0x24, 1, 9}}, 0x0A0AFF);
        ASSERT_EQ(MergeDeviceMacro(changed, 0x0A0A04, withTree ? &tree : nullptr), 0x0A0AFFu);
        EXPECT_EQ(FileMacro(MacroDir() + "a_b (3).qxm")->events[0].code, 0x24);
        EXPECT_EQ(FileMacro(MacroDir() + "a_b (2).qxm")->id, 0x0A0A04u);
        EXPECT_EQ(FileMacro(MacroDir() + "a_b.qxm")->id, 0x0A0A03u);

        Macros().Clear();
        ASSERT_TRUE(LoadMacroLibrary());
        EXPECT_EQ(Macros().Count(), 5);
    }
}

// The profile read merges without the editor's tree: a macro kept in a sub-folder stays as it
// is when the mouse holds something else under its name.
TEST_F(DeviceMerge, AMacroInASubFolderIsNeverOverwritten)
{
    const int saved = Config().opt.MacroDir;
    Config().opt.MacroDir = 1;
    Macros().Clear();
    QDir(MacroDir()).removeRecursively();
    WriteFile(MacroDir() + "Games/Jump.qxm", FileImage(library_));
    ASSERT_TRUE(LoadMacroLibrary());
    EXPECT_EQ(MergeDeviceMacro(MakeMacro("Jump", {{0x20, 1, 31}}, 0x020202), 0x010101), 0x020202u);
    EXPECT_EQ(FilesBelow(MacroDir()), (QStringList{"Games/Jump.qxm", "Jump.qxm"}));
    EXPECT_EQ(ReadFile(MacroDir() + "Games/Jump.qxm"), FileImage(library_));
    Config().opt.MacroDir = saved;
}

TEST_F(DeviceMerge, AddRefusesARecordWithoutTheMagic)
{
    LogCapture log;
    StMacro bad = MakeMacro("Bad", {}, 0x050505);
    bad.magic = 0x12345678;
    EXPECT_FALSE(Add_Macro(bad));
    EXPECT_FALSE(MergeDeviceMacro(bad, 0));
    EXPECT_TRUE(log.Contains("Add_Macro: FAILED, dwMagicNumber=0x12345678"));
    EXPECT_TRUE(log.Contains("add macro to list faile.."));
    EXPECT_FALSE(AddMacroFromProfile(bad));
    EXPECT_EQ(Macros().Count(), 1);
}

TEST_F(DeviceMerge, ProfileImportReplacesByIdOrAddsWithAFile)
{
    StMacro imported = MakeMacro("Imported", {{0x49, 1, 2}}, 0x010101);
    imported.flags = kMacroDirty;
    EXPECT_EQ(ReplaceMacro(imported), 0x010101u);
    EXPECT_EQ(MacroName(*Macros().FindById(0x010101)), QStringLiteral("Imported"));
    EXPECT_EQ(Macros().FindById(0x010101)->flags, 0u);
    ASSERT_TRUE(FileMacro(MacroDir() + "Imported.qxm"));
    EXPECT_EQ(FileMacro(MacroDir() + "Imported.qxm")->flags, 0u);

    EXPECT_FALSE(ReplaceMacro(MakeMacro("Nobody", {}, 0x0F0F0F)));
    StMacro noMagic = imported;
    noMagic.magic = 0;
    EXPECT_FALSE(ReplaceMacro(noMagic));

    EXPECT_TRUE(AddMacroFromProfile(MakeMacro("Added", {{0x4A, 1, 2}}, 0x060606)));
    EXPECT_TRUE(Macros().Contains(0x060606));
    EXPECT_TRUE(FileMacro(MacroDir() + "Added.qxm"));
}

TEST_F(MacroFiles, SnapshotIsAlways1668000BytesOfQualifyingRecords)
{
    const StMacro first = MakeMacro("First", {{0x41, 1, 1}}, 1);
    const StMacro second = MakeMacro("Second", {{0x42, 1, 1}}, 2);
    Macros().AddCopy(MakeMacro("No events", {}, 3));
    Macros().AddCopy(first);
    Macros().AddCopy(MakeMacro("Id zero", {{0x43, 1, 1}}, 0));
    Macros().AddCopy(second);
    ASSERT_TRUE(SaveMacroSnapshot());

    const QByteArray image = ReadFile(DataDir() + "mac.dct");
    ASSERT_EQ(image.size(), 1668000);
    EXPECT_EQ(std::memcmp(image.constData(), &first, sizeof first), 0);
    EXPECT_EQ(std::memcmp(image.constData() + 834, &second, sizeof second), 0);
    EXPECT_EQ(image.mid(1668), QByteArray(1668000 - 1668, '\0'));

    Macros().Clear();
    ASSERT_TRUE(SaveMacroSnapshot());
    EXPECT_EQ(ReadFile(DataDir() + "mac.dct"), QByteArray(1668000, '\0'));
}

TEST(MacroSnapshotImage, Holds2000RecordsAtMost)
{
    std::vector<StMacro> records(2001, MakeMacro("M", {{0x41, 1, 1}}, 9));
    records.back().id = 10;
    const QByteArray image = BuildMacroSnapshot(records);
    ASSERT_EQ(image.size(), kMacroSnapshotSize);
    StMacro last;
    std::memcpy(&last, image.constData() + 1999 * 834, sizeof last);
    EXPECT_EQ(last.id, 9u);
}

TEST_F(MacroFiles, FolderHelpers)
{
    EXPECT_TRUE(MakeSureFolderExist(DataDir() + "a/b/c/file.qxm"));
    EXPECT_TRUE(QFileInfo(DataDir() + "a/b/c").isDir());
    EXPECT_TRUE(MakeSureFolderExist(DataDir() + "a/b/c/file.qxm"));

    WriteFile(DataDir() + "plain", "x");
    {
        LogCapture log;
        EXPECT_FALSE(MakeSureFolderExist(DataDir() + "plain/sub/file.qxm"));
        EXPECT_TRUE(log.Contains("MakeSureFolderExist: create dir " + (DataDir() + "plain").toStdString()));
    }

    // Copy without replacing, creating the target folder.
    WriteFile(DataDir() + "src.qxm", "source bytes");
    EXPECT_TRUE(MyCopyFile(DataDir() + "src.qxm", DataDir() + "new/dir/dst.qxm"));
    EXPECT_EQ(ReadFile(DataDir() + "new/dir/dst.qxm"), QByteArray("source bytes"));
    WriteFile(DataDir() + "src.qxm", "changed");
    EXPECT_FALSE(MyCopyFile(DataDir() + "src.qxm", DataDir() + "new/dir/dst.qxm"));
    EXPECT_EQ(ReadFile(DataDir() + "new/dir/dst.qxm"), QByteArray("source bytes"));
    EXPECT_FALSE(MyCopyFile(DataDir() + "missing", DataDir() + "other"));

    // A whole write creates missing folders.
    EXPECT_TRUE(MyCreateFile(DataDir() + "made/on/demand.bin", "abc").Ok());
    EXPECT_EQ(ReadFile(DataDir() + "made/on/demand.bin"), QByteArray("abc"));
}

TEST_F(MacroFiles, AWholeWriteLeavesOnlyItsFileWhichKeepsItsPermissions)
{
    const QString path = MacroDir() + "kept.qxm";
    WriteFile(path, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    ASSERT_TRUE(MyCreateFile(path, "new content").Ok());
    EXPECT_EQ(ReadFile(path), QByteArray("new content"));
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    // A write that cannot be renamed into place (a folder has the name) removes its temporary file.
    QDir().mkpath(MacroDir() + "taken.qxm");
    EXPECT_EQ(MyCreateFile(MacroDir() + "taken.qxm", "x").stage, FileWriteResult::kWrite);
    EXPECT_EQ(FilesBelow(MacroDir()), QStringList{"kept.qxm"});
    EXPECT_TRUE(IsPartialSave(".kept.qxm.a1b2c3.part"));
    EXPECT_FALSE(IsPartialSave("kept.part"));
}

TEST_F(MacroFiles, DeletingAFolderTreeRemovesEveryFileBelowIt)
{
    WriteFile(MacroDir() + "Games/Games.png", "icon");
    WriteFile(MacroDir() + "Games/notes.txt", "not a macro");
    WriteFile(MacroDir() + "Games/Deep/m.qxm", FileImage(MakeMacro("m", {}, 1)));
    QFile::setPermissions(MacroDir() + "Games/notes.txt", QFileDevice::ReadOwner);
    EXPECT_TRUE(DeleteFolderTree(MacroDir() + "Games"));
    EXPECT_FALSE(QFileInfo::exists(MacroDir() + "Games"));

    int error = 0;
    EXPECT_FALSE(DeleteFolderTree(MacroDir() + "Missing", &error));
    EXPECT_EQ(error, ENOENT);
}

TEST_F(MacroFiles, WithoutADataFolderNothingIsWrittenAnywhere)
{
    Paths().dataDir.clear();
    MacroTree tree;
    const std::optional<StMacro> added = Add_Macro(MakeMacro("Nowhere", {{0x41, 1, 1}}, 77), &tree);
    ASSERT_TRUE(added);
    EXPECT_EQ(added->flags, kMacroDirty);  // kept dirty: it still has to be written
    EXPECT_TRUE(MacroFilePath("Nowhere", 1).isEmpty());
    EXPECT_TRUE(TreeItem_To_FilePath(tree.FindMacro(77)).isEmpty());
    EXPECT_FALSE(SaveMacroSnapshot());
    EXPECT_FALSE(LoadMacroLibrary());
    EXPECT_FALSE(QFileInfo::exists(QDir::currentPath() + "/Mac/Nowhere.qxm"));
}

}  // namespace
}  // namespace zorvan
