#include "macro/macro_files.h"

#include "app/log.h"
#include "app/paths.h"
#include "macro/macro_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>

#include <array>
#include <cerrno>
#include <mutex>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvan {
namespace {

constexpr char kPartialSuffix[] = ".part";

// The file each macro was last read from or written to.
std::mutex g_filesMutex;
QHash<uint32_t, QString> g_files;

QString FolderOf(const QString& filePath)
{
    const qsizetype slash = filePath.lastIndexOf(u'/');
    return slash <= 0 ? QString() : filePath.left(slash);
}

int LastError(int fallback)
{
    return errno != 0 ? errno : fallback;
}

// A file being written is "<folder>/.<name>.<process>-<random>.part" until it is complete and
// renamed over <name>; the process id keeps the names of processes apart whose random numbers
// may repeat (a fork). Made with the permissions of any new file (0666 less the umask).
int CreatePartial(const QByteArray& target, QByteArray& partial)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    const QByteArray name = target.mid(slash + 1);
    const QByteArray process = QByteArray::number(qint64(::getpid()), 36);
    for (int attempt = 0; attempt < 16; ++attempt) {
        partial = folder + '.' + name + '.' + process + '-' +
                  QByteArray::number(QRandomGenerator::global()->generate(), 36) + kPartialSuffix;
        errno = 0;
        const int fd = ::open(partial.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// A file that is replaced keeps its permissions.
void KeepPermissions(const QByteArray& target, int fd)
{
    struct stat info;
    if (::stat(target.constData(), &info) == 0 && S_ISREG(info.st_mode))
        ::fchmod(fd, info.st_mode & 07777);
}

bool WriteAll(int fd, const QByteArray& bytes)
{
    const char* at = bytes.constData();
    size_t left = size_t(bytes.size());
    while (left > 0) {
        const ssize_t n = ::write(fd, at, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        at += n;
        left -= size_t(n);
    }
    return true;
}

}  // namespace

bool IsPartialSave(const QString& fileName)
{
    return fileName.startsWith(u'.') && fileName.endsWith(QLatin1String(kPartialSuffix));
}

QString MacroFolder()
{
    // Without a data folder there is no macro folder: a relative "Mac" would land wherever
    // the program happens to run.
    if (Paths().dataDir.isEmpty())
        return {};
    return Paths().dataDir + QStringLiteral("Mac");
}

QString SafeFileName(const QString& name)
{
    QString safe = name;
    for (QChar& c : safe) {
        const char16_t u = c.unicode();
        if (u == u'/' || u == u'\\' || u < 0x20 || u == 0x7F)
            c = u'_';
    }
    safe.replace(QStringLiteral(".."), QStringLiteral("__"));
    if (safe.isEmpty() || safe == QStringLiteral("."))
        safe = QStringLiteral("_");
    return safe;
}

QString FirstFreeName(const QString& name, const std::function<bool(const QString&)>& taken)
{
    if (!taken(name))
        return name;
    // The library holds at most 2000 macros, so a free name turns up long before this ends.
    for (int n = 2; n < 100000; ++n) {
        const QString candidate = name + QStringLiteral(" (%1)").arg(n);
        if (!taken(candidate))
            return candidate;
    }
    return name;
}

void RememberMacroFile(uint32_t macroId, const QString& path)
{
    std::lock_guard lock(g_filesMutex);
    g_files.insert(macroId, path);
}

void ForgetMacroFiles()
{
    std::lock_guard lock(g_filesMutex);
    g_files = {};
}

QString MacroFilePath(const QString& macroName, uint32_t macroId)
{
    if (MacroFolder().isEmpty())
        return {};
    const QString known = [macroId] {
        std::lock_guard lock(g_filesMutex);
        return g_files.value(macroId);
    }();
    if (!known.isEmpty() && known.startsWith(MacroFolder() + u'/')) {
        const std::optional<StMacro> held = ReadMacroFile(known);
        if (held && held->id == macroId)
            return known;
    }
    const auto pathOf = [](const QString& name) { return MacroFolder() + u'/' + name + QStringLiteral(".qxm"); };
    const QString name = FirstFreeName(SafeFileName(macroName), [&](const QString& candidate) {
        const QString path = pathOf(candidate);
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return false;
        const std::optional<StMacro> held = ReadMacroFile(path);
        return !held || held->id != macroId;
    });
    return pathOf(name);
}

bool MakeSureFolderExist(const QString& filePath)
{
    const QString folder = FolderOf(filePath);
    qsizetype from = 1;  // the root itself always exists
    while (from <= folder.size()) {
        qsizetype slash = folder.indexOf(u'/', from);
        if (slash < 0)
            slash = folder.size();
        const QString partial = folder.left(slash);
        from = slash + 1;
        if (QFileInfo(partial).isDir())
            continue;
        errno = 0;
        if (::mkdir(QFile::encodeName(partial).constData(), 0777) != 0 && !(errno == EEXIST && QFileInfo(partial).isDir())) {
            Log("MakeSureFolderExist: create dir %s, err=0x%x", partial.toUtf8().constData(), unsigned(errno));
            return false;
        }
    }
    return true;
}

FileWriteResult MyCreateFile(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray partial;
    int fd = CreatePartial(target, partial);
    if (fd < 0 && errno == ENOENT && MakeSureFolderExist(path))
        fd = CreatePartial(target, partial);
    if (fd < 0) {
        const int error = LastError(EIO);
        Log("MyCreateFile: %s, error=0x%x", path.toUtf8().constData(), unsigned(error));
        return {FileWriteResult::kCreate, error};
    }
    KeepPermissions(target, fd);
    // On disk before the rename, so that the new name never stands for a file that is not.
    int error = WriteAll(fd, bytes) && ::fsync(fd) == 0 ? 0 : LastError(EIO);
    if (::close(fd) != 0 && error == 0)
        error = LastError(EIO);
    if (error == 0 && ::rename(partial.constData(), target.constData()) != 0)
        error = LastError(EIO);
    if (error != 0) {
        ::unlink(partial.constData());
        return {FileWriteResult::kWrite, error};
    }
    return {};
}

bool MyCopyFile(const QString& source, const QString& target)
{
    QFile in(source);
    errno = 0;
    if (!in.open(QIODevice::ReadOnly)) {
        Log("MyCopyFile: %s, error=0x%x", source.toUtf8().constData(), unsigned(LastError(EIO)));
        return false;
    }
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        Log("MyCopyFile: %s, error=0x%x", source.toUtf8().constData(), unsigned(LastError(EIO)));
        return false;
    }
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() || targetInfo.isSymLink()) {
        Log("MyCopyFile: %s, error=0x%x", source.toUtf8().constData(), unsigned(EEXIST));
        return false;
    }
    const FileWriteResult written = MyCreateFile(target, bytes);
    if (!written.Ok()) {
        Log("MyCopyFile err=0x%x. src=%s", unsigned(written.error), source.toUtf8().constData());
        return false;
    }
    return true;
}

bool DeleteFolderTree(const QString& path, int* error)
{
    const QFileInfoList entries =
        QDir(path).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink()) {
            if (entry.fileName().startsWith(u'.') || entry.fileName().startsWith(u'$'))
                continue;
            if (!DeleteFolderTree(entry.filePath(), error))
                return false;
            continue;
        }
        if (!entry.isSymLink())
            QFile::setPermissions(entry.filePath(), entry.permissions() | QFileDevice::WriteOwner);
        errno = 0;
        if (::unlink(QFile::encodeName(entry.filePath()).constData()) != 0) {
            const int err = errno;
            Log("DeleteFile %s, err=%d", entry.filePath().toUtf8().constData(), err);
            if (error != nullptr)
                *error = err;
            return false;
        }
    }
    errno = 0;
    if (::rmdir(QFile::encodeName(path).constData()) != 0) {
        if (error != nullptr)
            *error = errno;
        return false;
    }
    return true;
}

std::optional<StMacro> ReadMacroFile(const QString& path)
{
    // Opened without blocking and checked to be a regular file: a FIFO or a device left in the
    // macro folder must not stall the folder load.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat info;
    std::array<uint8_t, kMacroFileSize> bytes;
    size_t got = 0;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += size_t(n);
        }
    }
    ::close(fd);
    return DecodeMacroFile(std::span(bytes.data(), got));
}

FileWriteResult WriteMacroFile(const QString& path, const StMacro& macro)
{
    StMacro clean = macro;
    clean.flags &= ~kMacroDirty;
    const auto image = EncodeMacroFile(clean);
    return MyCreateFile(path, QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size())));
}

}  // namespace zorvan
