#include "macro/macro_files.h"

#include "app/log.h"
#include "app/paths.h"
#include "macro/macro_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvan {
namespace {

QString FolderOf(const QString& filePath)
{
    const qsizetype slash = filePath.lastIndexOf(u'/');
    return slash <= 0 ? QString() : filePath.left(slash);
}

int LastError(int fallback)
{
    return errno != 0 ? errno : fallback;
}

bool OpenWhole(QSaveFile& file, const QString& path, int& error)
{
    errno = 0;
    if (file.open(QIODevice::WriteOnly))
        return true;
    error = LastError(int(file.error()));
    const QString folder = FolderOf(path);
    if (folder.isEmpty() || QFileInfo(folder).isDir() || !MakeSureFolderExist(path))
        return false;
    errno = 0;
    if (file.open(QIODevice::WriteOnly))
        return true;
    error = LastError(int(file.error()));
    return false;
}

}  // namespace

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

QString TopMacroFilePath(const QString& macroName)
{
    if (MacroFolder().isEmpty())
        return {};
    return MacroFolder() + u'/' + SafeFileName(macroName) + QStringLiteral(".qxm");
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
    QSaveFile file(path);
    int error = 0;
    if (!OpenWhole(file, path, error)) {
        Log("MyCreateFile: %s, error=0x%x", path.toUtf8().constData(), unsigned(error));
        return {FileWriteResult::kCreate, error};
    }
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        error = LastError(int(file.error()));
        file.cancelWriting();
        return {FileWriteResult::kWrite, error};
    }
    errno = 0;
    if (!file.commit())
        return {FileWriteResult::kWrite, LastError(int(file.error()))};
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
