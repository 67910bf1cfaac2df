#include "ui/skin_dialog.h"

#include "app/configuration.h"
#include "skin/display_scale.h"
#include "skin/picture_cache.h"
#include "skin/picture_ops.h"
#include "skin/skin_files.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace zorvan {
namespace {

bool DialogKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Space ||
           key == Qt::Key_F1;
}

}  // namespace

SkinDialog::SkinDialog(QWidget* parent, const QString& windowTitle)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setWindowTitle(windowTitle);
}

bool SkinDialog::LoadBackground(const QString& path, bool shape, bool scaleInFourK)
{
    const QImage picture = LoadPicture(path, scaleInFourK ? SkinScale() : 1.0);
    if (picture.width() == 0)
        return false;
    background_ = picture;
    setFixedSize(SkinSize(picture));
    if (shape && Options().clrMaskDialog != 0)
        setMask(ShapeFromPicture(picture, Options().clrMaskDialog, kDialogShapeTolerance));
    CentreOverParent();
    return true;
}

void SkinDialog::CentreOverParent()
{
    QRect around;
    if (QWidget* owner = parentWidget())
        around = owner->window()->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        around = screen->availableGeometry();
    move(around.center() - QPoint(width() / 2, height() / 2));
}

void SkinDialog::CloseMessageWindows()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible() &&
                                                            dialog->windowTitle() == kMessageWindowTitle)
            dialog->reject();
    }
}

void SkinDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), background_);
    PaintContent(painter);
}

void SkinDialog::PaintContent(QPainter&) {}

void SkinDialog::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && windowHandle()) {
        windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void SkinDialog::keyPressEvent(QKeyEvent* event)
{
    if (!DialogKey(event->key())) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat())
        OnEnter();
}

void SkinDialog::keyReleaseEvent(QKeyEvent* event)
{
    if (DialogKey(event->key())) {
        event->accept();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

}  // namespace zorvan
