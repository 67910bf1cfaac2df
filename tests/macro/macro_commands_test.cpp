// The macro file commands on the library, the files and the tree: new, rename, delete, import,
// export and moving a macro, with their messages, on a macro folder of the test's own.
#include "macro/macro_commands.h"

#include "macro/macro_file.h"
#include "macro/macro_files.h"
#include "macro/macro_folder_load.h"
#include "macro/time_stamp_id.h"
#include "macro_test_support.h"
#include "text/language_texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>

namespace zorvan {
namespace {

using test::MakeMacro;
using test::ReadFile;
using test::WriteFile;

QByteArray FileImage(const StMacro& m)
{
    const auto image = EncodeMacroFile(m);
    return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

class MacroCommands : public test::MacroFolderTest {
protected:
    void SetUp() override
    {
        MacroFolderTest::SetUp();
        SetTimeStampIdPause(std::chrono::milliseconds(1));
        SetText("tc_tip1", QStringLiteral("bad name"));
        SetText("tc_macro_msg8", QStringLiteral("name taken"));
        // Mac/Games/Reload.qxm, Mac/Games/Games.png, Mac/Games/notes.txt, Mac/Jump.qxm
        QDir().mkpath(MacroDir() + "Games");
        WriteFile(MacroDir() + "Games/Reload.qxm", FileImage(MakeMacro("Reload", {{0x52, 1, 5}}, 0x10)));
        WriteFile(MacroDir() + "Games/Games.png", "icon");
        WriteFile(MacroDir() + "Games/notes.txt", "not a macro");
        WriteFile(MacroDir() + "Jump.qxm", FileImage(MakeMacro("Jump", {{0x20, 1, 5}}, 0x20)));
        LoadMacroFolder(MacroFolder(), &tree_, nullptr, true, true);
        games_ = tree_.FindChild(nullptr, "Games");
        reload_ = tree_.FindChild(games_, "Reload");
        jump_ = tree_.FindChild(nullptr, "Jump");
        ASSERT_TRUE(games_ && reload_ && jump_);
    }
    void TearDown() override
    {
        SetText("tc_tip1", {});
        SetText("tc_macro_msg8", {});
        SetTimeStampIdPause(std::chrono::milliseconds(20));
        MacroFolderTest::TearDown();
    }
    bool OnDisk(const QString& relative) const { return QFileInfo::exists(MacroDir() + relative); }

    MacroTree tree_;
    MacroTreeItem* games_ = nullptr;
    MacroTreeItem* reload_ = nullptr;
    MacroTreeItem* jump_ = nullptr;
};

TEST_F(MacroCommands, NewMacroFollowsTheNameRule)
{
    const struct {
        const char* typed;
        const char* stored;   // null: refused
        const char* message;
    } cases[] = {
        {"a.b", "a", ""},
        {"my-macro", nullptr, "bad name"},
        {"50%", nullptr, "bad name"},
        {".hidden", nullptr, "bad name"},
        {"jump", nullptr, "name taken"},
    };
    for (const auto& c : cases) {
        const int before = Macros().Count();
        const MacroCommandResult result = NewMacro(tree_, nullptr, QString::fromUtf8(c.typed));
        EXPECT_EQ(result.ok, c.stored != nullptr) << c.typed;
        EXPECT_EQ(result.message, QString::fromUtf8(c.message)) << c.typed;
        if (!c.stored) {
            EXPECT_EQ(Macros().Count(), before) << c.typed;
            continue;
        }
        const std::optional<StMacro> made = Macros().FindById(result.item->macroId);
        ASSERT_TRUE(made);
        EXPECT_EQ(MacroName(*made), QString::fromUtf8(c.stored));
        EXPECT_EQ(made->flags, kMacroDirty);
        EXPECT_EQ(result.item->text, QString::fromUtf8(c.stored));
    }
    SetText("tc_tip1", {});
    EXPECT_EQ(NewMacro(tree_, nullptr, "x#").message, "Invalid file name.");
}

TEST_F(MacroCommands, ATakenNameIsRefusedWithAReasonWithoutALanguageText)
{
    SetText("tc_macro_msg8", {});
    const MacroCommandResult result = NewMacro(tree_, nullptr, "jump");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "This name is already used here.");
}

TEST_F(MacroCommands, The2001stMacroIsRefused)
{
    for (uint32_t id = 100; Macros().Count() < kMacroLibraryMax; ++id)
        Macros().AddCopy(MakeMacro("m", {}, id));
    EXPECT_EQ(LibraryFullMessage(), "The number of macro is up to the maximum");
    const MacroCommandResult result = NewMacro(tree_, nullptr, "One more");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "The number of macro is up to the maximum");
    EXPECT_EQ(Macros().Count(), kMacroLibraryMax);
    EXPECT_EQ(tree_.FindChild(nullptr, "One more"), nullptr);
}

TEST_F(MacroCommands, RenamingAMacroRenamesItsFileAndRecord)
{
    const MacroCommandResult result = RenameItem(tree_, reload_, "Fast.reload");
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(reload_->text, "Fast");
    EXPECT_EQ(MacroName(*Macros().FindById(0x10)), "Fast");
    EXPECT_FALSE(OnDisk("Games/Reload.qxm"));
    const std::optional<StMacro> file = ReadMacroFile(MacroDir() + "Games/Fast.qxm");
    ASSERT_TRUE(file);
    EXPECT_EQ(MacroName(*file), "Fast");
    EXPECT_EQ(Macros().FindById(0x10)->flags, 0u);
}

TEST_F(MacroCommands, ARenameThatCannotBeMadeChangesNothing)
{
    // A file of that name that the tree does not show is never replaced.
    WriteFile(MacroDir() + "Games/Other.qxm", "someone's file");
    MacroCommandResult result = RenameItem(tree_, reload_, "Other");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Rename failed. err=0x11");
    EXPECT_EQ(ReadFile(MacroDir() + "Games/Other.qxm"), "someone's file");
    EXPECT_EQ(reload_->text, "Reload");
    EXPECT_EQ(MacroName(*Macros().FindById(0x10)), "Reload");

    result = RenameItem(tree_, jump_, "games");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "name taken");
    EXPECT_TRUE(OnDisk("Jump.qxm"));
}

TEST_F(MacroCommands, RenamingAFolderKeepsItsMacrosInTheLibrary)
{
    const MacroCommandResult result = RenameItem(tree_, games_, "Play");
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_TRUE(OnDisk("Play/Reload.qxm"));
    EXPECT_TRUE(OnDisk("Play/Play.png"));
    EXPECT_FALSE(OnDisk("Games"));
    EXPECT_EQ(games_->iconPath, MacroDir() + "Play/Play.png");
    EXPECT_TRUE(Macros().Contains(0x10));
    EXPECT_EQ(TreeItem_To_FilePath(reload_), MacroDir() + "Play/Reload.qxm");
}

TEST_F(MacroCommands, DeletingAFolderDeletesEverythingBelowIt)
{
    const MacroCommandResult result = DeleteItem(tree_, games_);
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(result.removed, std::vector<uint32_t>{0x10});
    EXPECT_FALSE(OnDisk("Games"));
    EXPECT_FALSE(Macros().Contains(0x10));
    EXPECT_TRUE(Macros().Contains(0x20));
    EXPECT_EQ(tree_.FindChild(nullptr, "Games"), nullptr);
}

TEST_F(MacroCommands, AFolderThatCannotBeDeletedLosesNothing)
{
    // A folder the deletion leaves alone keeps the folder itself from going.
    QDir().mkpath(MacroDir() + "Games/.keep");
    const MacroCommandResult result = DeleteItem(tree_, games_);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.startsWith("Remove Directory failed, err = ")) << result.message.toStdString();
    EXPECT_TRUE(Macros().Contains(0x10));
    EXPECT_EQ(tree_.FindChild(nullptr, "Games"), games_);
    // The macro file deleted on the way is written again.
    const std::optional<StMacro> file = ReadMacroFile(MacroDir() + "Games/Reload.qxm");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->id, 0x10u);
}

TEST_F(MacroCommands, NothingSelectedToDelete)
{
    EXPECT_EQ(DeleteItem(tree_, nullptr).message, "Operation failed, hItem = 0x0, pItem = 0x0.");
}

TEST_F(MacroCommands, ImportedNamesStayInsideTheTargetFolder)
{
    const QString from = DataDir() + "import/";
    QDir().mkpath(from);
    const struct {
        QString title;
        QString expected;
    } cases[] = {
        {"a\\b", "a_b"},
        {"..", "__"},
        {"tab\there", "tab_here"},
        {QString(251, u'x'), QString(39, u'x')},  // a file name of 255 bytes
    };
    for (const auto& c : cases) {
        const QString path = from + c.title + ".qxm";
        ASSERT_TRUE(WriteFile(path, FileImage(MakeMacro("inside", {{0x41, 1, 3}}, 0x30))));
        const MacroCommandResult result = ImportMacro(tree_, games_, path);
        ASSERT_TRUE(result.ok) << result.message.toStdString();
        EXPECT_EQ(result.item->text, c.expected);
        const QString written = TreeItem_To_FilePath(result.item);
        EXPECT_EQ(written, MacroDir() + "Games/" + c.expected + ".qxm");
        const std::optional<StMacro> file = ReadMacroFile(written);
        ASSERT_TRUE(file);
        EXPECT_EQ(MacroName(*file), c.expected);
        EXPECT_NE(file->id, 0x30u);
        EXPECT_EQ(file->flags, 0u);
    }
}

TEST_F(MacroCommands, ABadMacroFileIsRefusedAndNothingChanges)
{
    const StMacro good = MakeMacro("x", {{0x41, 1, 3}});
    QByteArray badMagic = FileImage(good);
    badMagic[0] = char(badMagic[0] ^ 0xFF);
    const struct {
        const char* name;
        QByteArray bytes;
        const char* message;
    } cases[] = {
        {"short", FileImage(good).left(833), "Read macro file failed."},
        {"magic", badMagic, "This is not a valid macro file."},
        {"wheel", FileImage(MakeMacro("x", {{kWheelUp, 1, 3}})), "This macro contains unsupported key."},
    };
    for (const auto& c : cases) {
        const QString path = DataDir() + c.name + ".qxm";
        WriteFile(path, c.bytes);
        const int count = Macros().Count();
        const MacroCommandResult result = ImportMacro(tree_, nullptr, path);
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_TRUE(result.message.startsWith(QString::fromLatin1(c.message))) << result.message.toStdString();
        EXPECT_EQ(Macros().Count(), count) << c.name;
        EXPECT_EQ(tree_.FindChild(nullptr, QString::fromLatin1(c.name)), nullptr) << c.name;
        EXPECT_FALSE(OnDisk(QString::fromLatin1(c.name) + ".qxm")) << c.name;
    }
    WriteFile(DataDir() + "Jump.qxm", FileImage(good));
    EXPECT_EQ(ImportMacro(tree_, nullptr, DataDir() + "Jump.qxm").message, "name taken");
}

TEST_F(MacroCommands, ExportCopiesTheFileAsLastSaved)
{
    const QByteArray saved = ReadFile(MacroDir() + "Jump.qxm");
    Macros().Update(0x20, [](StMacro& m) {
        m.events[0].code = 0x21;
        m.flags = kMacroEventsChanged;
    });
    const QString target = DataDir() + "out/Jump.qxm";
    WriteFile(target, "an older export");
    ASSERT_TRUE(ExportMacro(jump_, target).ok);
    EXPECT_EQ(ReadFile(target), saved);
}

TEST_F(MacroCommands, AFailedExportSaysWhichFile)
{
    const QString unwritable = QStringLiteral("/proc/zorvan-export/Jump.qxm");  // not even root makes it
    MacroCommandResult result = ExportMacro(jump_, unwritable);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.startsWith("Export failed: " + unwritable + " cannot be written ("))
        << result.message.toStdString();

    const QString stored = MacroDir() + "Jump.qxm";
    ASSERT_TRUE(QFile::remove(stored));
    result = ExportMacro(jump_, DataDir() + "out/Jump.qxm");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Export failed: " + stored + " cannot be read (" + QString::fromLocal8Bit(std::strerror(ENOENT)) + ").");
    EXPECT_FALSE(QFileInfo::exists(DataDir() + "out/Jump.qxm"));
}

TEST_F(MacroCommands, AMacroMovesWithItsFile)
{
    Macros().Update(0x20, [](StMacro& m) {
        m.repeatCount = 9;
        m.flags = kMacroOptionsChanged;
    });
    MacroCommandResult result = MoveMacro(tree_, jump_, games_);
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(jump_->parent, games_);
    EXPECT_FALSE(OnDisk("Jump.qxm"));
    const std::optional<StMacro> file = ReadMacroFile(MacroDir() + "Games/Jump.qxm");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->repeatCount, 9);

    tree_.Insert(nullptr, kMacroItem, "Reload", 0x40);
    result = MoveMacro(tree_, reload_, nullptr);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "name taken");
    EXPECT_TRUE(OnDisk("Games/Reload.qxm"));
}

TEST(MacroTreeDepth, FoldersGoSixLevelsDeepAtMost)
{
    MacroTree tree;
    MacroTreeItem* at = nullptr;
    for (int level = 1; level <= 8; ++level)
        at = tree.Insert(at, kFolderItem, QStringLiteral("f%1").arg(level));
    PruneDeepFolders(tree);
    int depth = 0;
    for (const MacroTreeItem* item = tree.Root(); !item->children.empty(); item = item->children.front().get())
        ++depth;
    EXPECT_EQ(depth, 6);
}

}  // namespace
}  // namespace zorvan
