#include "skin/picture_cache.h"

#include "skin/display_scale.h"
#include "skin/picture_ops.h"

#include <QCoreApplication>
#include <QHash>
#include <QImageReader>
#include <QThread>
#include <QTimer>

#include <mutex>

namespace zorvan {
namespace {

struct Cache {
    std::mutex mutex;
    QHash<QString, QImage> pictures;  // keyed by path and scale
    int decodes = 0;
    bool releaseQueued = false;
};

Cache& TheCache()
{
    static Cache cache;
    return cache;
}

QString KeyOf(const QString& path, double pixelScale, double ratio)
{
    if (pixelScale == 1.0 && ratio == 1.0)
        return path;
    return path + QLatin1Char('@') + QString::number(pixelScale) + QLatin1Char('/') + QString::number(ratio);
}

QImage Decode(const QString& path)
{
    QImage picture;
    if (!QImageReader(path).read(&picture))
        return {};
    // In place: a second buffer here would be freed at once and leave a hole in the heap.
    picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    // Pixels are the skin's own: a double-size file is the doubled skin, not a picture for a
    // screen of a higher pixel ratio (Qt's reader would mark "@2x" files so).
    picture.setDevicePixelRatio(1.0);
    return picture;
}

// Pieces are cut right after loading; the sources nobody keeps are dropped when the event loop
// runs again. Only on the thread of the event loop: elsewhere nothing would run the release.
void QueueRelease(Cache& cache)
{
    const QCoreApplication* app = QCoreApplication::instance();
    if (cache.releaseQueued || !app || QThread::currentThread() != app->thread())
        return;
    cache.releaseQueued = true;
    QTimer::singleShot(0, app, [] { ReleaseUnusedPictures(); });
}

}  // namespace

QString ScaledPictureFile(const QString& path, double scale)
{
    if (scale == 1.0)
        return path;
    if (scale != 2.0)
        return {};
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const int stemEnd = dot > slash ? dot : int(path.size());
    return path.left(stemEnd) + QStringLiteral("@2x") + path.mid(stemEnd);
}

namespace {

// The picture with `pixelScale` times the pixels of the normal-size file, marked with the
// device pixel ratio `ratio`.
QImage Load(const QString& path, double pixelScale, double ratio)
{
    Cache& cache = TheCache();
    const QString key = KeyOf(path, pixelScale, ratio);
    {
        std::lock_guard lock(cache.mutex);
        if (const auto found = cache.pictures.constFind(key); found != cache.pictures.cend())
            return *found;
    }
    // The skin's own picture at this scale when it has one, else the normal-size one enlarged.
    const QString drawn = ScaledPictureFile(path, pixelScale);
    QImage picture = drawn.isEmpty() ? QImage() : Decode(drawn);
    const bool decoded = !picture.isNull();
    if (!decoded && pixelScale != 1.0) {
        picture = ScalePicture(Load(path, 1.0, 1.0), pixelScale);
        if (!picture.isNull())
            picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    }
    if (picture.isNull())
        return picture;
    // Before it is shared: marking a shared picture would copy its pixels.
    picture.setDevicePixelRatio(ratio);
    std::lock_guard lock(cache.mutex);
    if (decoded)
        ++cache.decodes;
    // Another thread may have loaded it meanwhile: hand out the copy that is kept.
    auto kept = cache.pictures.find(key);
    if (kept == cache.pictures.end())
        kept = cache.pictures.insert(key, picture);
    QueueRelease(cache);
    return *kept;
}

}  // namespace

QImage LoadPicture(const QString& path, double scale)
{
    // Double-size files are the most a skin has: a picture already doubled stays at ratio 1.
    const double ratio = scale * PictureRatio() <= 2.0 ? PictureRatio() : 1.0;
    return Load(path, scale * ratio, ratio);
}

void ReleaseUnusedPictures()
{
    Cache& cache = TheCache();
    std::lock_guard lock(cache.mutex);
    cache.releaseQueued = false;
    cache.pictures.removeIf([](const auto& entry) { return entry.value().isDetached(); });
}

int PictureDecodeCount()
{
    Cache& cache = TheCache();
    std::lock_guard lock(cache.mutex);
    return cache.decodes;
}

}  // namespace zorvan
