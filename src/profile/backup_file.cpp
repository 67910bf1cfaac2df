#include "profile/backup_file.h"

#include "app/function_catalogue.h"
#include "macro/macro_files.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace zorvan {
namespace {

template <typename T>
void Append(std::vector<uint8_t>& out, const T& value)
{
    // Grown then copied: GCC 12 at -O3 misreads an insert into a still empty vector as an
    // overflow (-Wstringop-overflow).
    const size_t at = out.size();
    out.resize(at + sizeof(T));
    std::memcpy(out.data() + at, &value, sizeof(T));
}

// Reads plain records off the front of the bytes.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    template <typename T>
    bool Take(T& value)
    {
        if (bytes_.size() - at_ < sizeof(T))
            return false;
        std::memcpy(&value, bytes_.data() + at_, sizeof(T));
        at_ += sizeof(T);
        return true;
    }
    size_t Left() const { return bytes_.size() - at_; }

private:
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
};

uint32_t ChecksumOf(std::span<const uint8_t> file)
{
    constexpr size_t at = offsetof(BackupFileHeader, checksum);
    const uint8_t zero[4] = {};
    uint32_t crc = Crc32(file.first(at));
    crc = Crc32(zero, crc);
    return Crc32(file.subspan(at + 4), crc);
}

// What makes a decoded profile unusable, or an empty text.
QString ProfileProblem(const BackupProfile& profile)
{
    if (!profile.record.IsValid())
        return QStringLiteral("it is not a valid profile record");
    if (profile.currentDpiLevel < 0 || profile.currentDpiLevel >= kDpiLevels)
        return QStringLiteral("its current DPI level %1 is not one of the 8 levels").arg(profile.currentDpiLevel);
    for (size_t m = 0; m < profile.macros.size(); ++m) {
        if (profile.macros[m].magic != kMacroMagic)
            return QStringLiteral("its macro %1 is not a macro record").arg(m + 1);
    }
    // Key set 0 holds the keys as the mouse has them; every macro key brings its macro.
    for (int k = 0; k < kKeysPerSet; ++k) {
        const KeyAssignment& key = *profile.record.KeyAt(0, k);
        if (key.Major() != kClassMacro)
            continue;
        const uint32_t id = key.dwMacroID & 0xFFFFFF;
        const bool held = std::any_of(profile.macros.begin(), profile.macros.end(),
                                      [id](const StMacro& m) { return m.id == id; });
        if (!held)
            return QStringLiteral("key %1 uses macro 0x%2, which the file does not hold").arg(k + 1).arg(id, 0, 16);
    }
    return {};
}

}  // namespace

uint32_t Crc32(std::span<const uint8_t> bytes, uint32_t crc)
{
    crc = ~crc;
    for (const uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::vector<uint8_t> EncodeBackup(const MouseBackup& backup)
{
    std::vector<uint8_t> out;
    BackupFileHeader header{};
    std::memcpy(header.magic, kBackupMagic, sizeof header.magic);
    header.version = kBackupVersion;
    header.cid = backup.cid;
    header.mid = backup.mid;
    header.activeProfile = uint8_t(backup.activeProfile);
    header.profileCount = uint8_t(backup.profiles.size());
    header.sensor = backup.sensor;
    Append(out, header);
    for (const BackupProfile& profile : backup.profiles) {
        Append(out, BackupProfileHeader{profile.currentDpiLevel, uint32_t(profile.macros.size())});
        Append(out, profile.record);
        for (const StMacro& macro : profile.macros)
            Append(out, macro);
    }
    const uint32_t size = uint32_t(out.size());
    std::memcpy(out.data() + offsetof(BackupFileHeader, size), &size, sizeof size);
    const uint32_t checksum = ChecksumOf(out);
    std::memcpy(out.data() + offsetof(BackupFileHeader, checksum), &checksum, sizeof checksum);
    return out;
}

std::optional<MouseBackup> DecodeBackup(std::span<const uint8_t> bytes, QString& error)
{
    Reader reader(bytes);
    BackupFileHeader header{};
    if (bytes.size() < sizeof kBackupMagic || std::memcmp(bytes.data(), kBackupMagic, sizeof kBackupMagic) != 0) {
        error = QStringLiteral("it is not a mouse backup");
        return std::nullopt;
    }
    if (!reader.Take(header)) {
        error = QStringLiteral("it is truncated: %1 bytes, not even the header").arg(bytes.size());
        return std::nullopt;
    }
    if (header.version != kBackupVersion) {
        error = QStringLiteral("it is a backup of version %1; this program reads version %2")
                    .arg(header.version)
                    .arg(kBackupVersion);
        return std::nullopt;
    }
    if (header.size != bytes.size()) {
        error = bytes.size() < header.size
                    ? QStringLiteral("it is truncated: %1 bytes of %2").arg(bytes.size()).arg(header.size)
                    : QStringLiteral("it is %1 bytes long, but its header says %2").arg(bytes.size()).arg(header.size);
        return std::nullopt;
    }
    if (ChecksumOf(bytes) != header.checksum) {
        error = QStringLiteral("it is damaged: its checksum does not match its contents");
        return std::nullopt;
    }
    if (header.profileCount != eeprom::kOnBoardProfiles || header.activeProfile >= eeprom::kOnBoardProfiles) {
        error = QStringLiteral("it names %1 profiles with profile %2 active; a mouse has 4")
                    .arg(header.profileCount)
                    .arg(header.activeProfile + 1);
        return std::nullopt;
    }
    MouseBackup backup;
    backup.cid = header.cid;
    backup.mid = header.mid;
    backup.sensor = header.sensor;
    backup.activeProfile = header.activeProfile;
    for (size_t p = 0; p < backup.profiles.size(); ++p) {
        BackupProfile& profile = backup.profiles[p];
        BackupProfileHeader part{};
        bool complete = reader.Take(part) && part.macroCount <= kBackupMaxMacros && reader.Take(profile.record);
        for (uint32_t m = 0; complete && m < part.macroCount; ++m)
            complete = reader.Take(profile.macros.emplace_back());
        profile.currentDpiLevel = part.currentDpiLevel;
        QString problem = complete ? ProfileProblem(profile) : QStringLiteral("it is cut short or holds too many macros");
        if (!problem.isEmpty()) {
            error = QStringLiteral("on-board profile %1 cannot be restored: %2").arg(p + 1).arg(problem);
            return std::nullopt;
        }
    }
    if (reader.Left() != 0) {
        error = QStringLiteral("it holds %1 bytes after the four profiles").arg(reader.Left());
        return std::nullopt;
    }
    return backup;
}

bool SaveBackupFile(const QString& path, const MouseBackup& backup, QString& error)
{
    const std::vector<uint8_t> bytes = EncodeBackup(backup);
    const FileWriteResult written =
        MyCreateFile(path, QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    if (written.Ok())
        return true;
    error = QStringLiteral("cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(written.error)));
    return false;
}

std::optional<MouseBackup> LoadBackupFile(const QString& path, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // One byte more than the largest backup tells a file that is too long without reading it all.
    const QByteArray bytes = file.read(qint64(kBackupMaxSize) + 1);
    std::optional<MouseBackup> backup =
        DecodeBackup(std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), error);
    if (!backup)
        error = QStringLiteral("%1 cannot be restored: %2").arg(path, error);
    return backup;
}

}  // namespace zorvan
