#include "ui/pages/key_mark_dlg.h"

#include "skin/display_scale.h"
#include "skin/picture_cache.h"
#include "skin/picture_ops.h"
#include "skin/skin_files.h"

#include <QPainter>

#include <algorithm>

namespace zorvan {
namespace {

QString ModelFolder(const DeviceDescription& device)
{
    return QStringLiteral("%1%2").arg(device.CID & 0xFF, 2, 16, QLatin1Char('0')).arg(device.MID & 0xFF, 2, 16, QLatin1Char('0'));
}

// The page background under `area` with `picture` drawn over it.
QImage Composed(const QImage& pageBackground, const QRect& area, const QImage& picture)
{
    QImage composed(area.size() * picture.devicePixelRatio(), QImage::Format_ARGB32_Premultiplied);
    composed.setDevicePixelRatio(picture.devicePixelRatio());
    composed.fill(Qt::transparent);
    QPainter painter(&composed);
    if (!pageBackground.isNull())
        painter.drawImage(QRect(QPoint(0, 0), area.size()), pageBackground, PixelsOf(pageBackground, area));
    painter.drawImage(QPoint(0, 0), picture);
    return composed;
}

}  // namespace

CKeyMarkDlg::CKeyMarkDlg(QWidget* page) : QWidget(page)
{
    setAccessibleName(QStringLiteral("Mouse picture"));
}

QString CKeyMarkDlg::NormalPictureName(const DeviceDescription& device)
{
    return QStringLiteral("skins\\%1\\mouse_nr.png").arg(ModelFolder(device));
}

bool CKeyMarkDlg::Load(const DeviceDescription& device, const QImage& pageBackground, int keyCount)
{
    normal_ = marked_ = QImage();
    marks_ = {};
    highlighted_ = -1;
    keyCount_ = std::clamp(keyCount, 0, int(marks_.size()));
    const QString folder = ModelFolder(device) + QLatin1Char('/');
    const QImage normal = LoadPicture(SkinFile(folder + QStringLiteral("mouse_nr.png")), SkinScale());
    const QRect area(QPoint(Scaled(device.MarkPoint.x), Scaled(device.MarkPoint.y)), SkinSize(normal));
    setGeometry(area);
    update();
    if (normal.isNull())
        return false;
    normal_ = Composed(pageBackground, area, normal);
    const QImage marked = LoadPicture(SkinFile(folder + QStringLiteral("mouse_dn.png")), SkinScale());
    if (!marked.isNull())
        marked_ = Composed(pageBackground, area, marked);
    for (size_t i = 0; i < marks_.size(); ++i) {
        const Rect& r = device.KeyMarks[i];
        marks_[i] = Scaled(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
    }
    return true;
}

bool CKeyMarkDlg::MarkShown(int key) const
{
    return key >= 0 && key < keyCount_ && !normal_.isNull() && !marks_[size_t(key)].isEmpty();
}

void CKeyMarkDlg::Highlight(int key)
{
    const int mark = MarkShown(key) ? key : -1;
    if (mark == highlighted_)
        return;
    highlighted_ = mark;
    update();
}

void CKeyMarkDlg::paintEvent(QPaintEvent*)
{
    if (normal_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), normal_);
    if (highlighted_ >= 0 && !marked_.isNull()) {
        const QRect mark = marks_[size_t(highlighted_)];
        painter.drawImage(mark.topLeft(), marked_, PixelsOf(marked_, mark));
    }
}

}  // namespace zorvan
