#pragma once
// The frame of the skinned modal dialogs: a borderless window drawn from one background
// picture, optionally shaped from it, centred over its parent and moved by dragging its
// background. Enter, Esc, Space and F1 never close it by themselves.
#include <QDialog>
#include <QImage>

namespace zorvan {

class SkinDialog : public QDialog {
    Q_OBJECT
public:
    // The title by which the main window finds and closes the open message windows at exit.
    static inline const QString kMessageWindowTitle = QStringLiteral("ZorvanMsgTopWindow");

    SkinDialog(QWidget* parent, const QString& windowTitle);

    // Loads the background (doubled in 4K mode when `scaleInFourK`), sizes the dialog to it and
    // shapes it with `clrMaskDialog` when `shape` is set. False when it cannot be loaded.
    bool LoadBackground(const QString& path, bool shape, bool scaleInFourK = true);
    const QImage& Background() const { return background_; }
    void CentreOverParent();

    // Rejects every open window titled kMessageWindowTitle (program exit).
    static void CloseMessageWindows();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // Enter: what the dialog does with it (nothing by default).
    virtual void OnEnter() {}
    // Draws the dialog's own content over the background.
    virtual void PaintContent(QPainter& painter);

private:
    QImage background_;
};

}  // namespace zorvan
