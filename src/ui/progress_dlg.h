#pragma once
// CProgressDlg: covers a long write to the mouse. The writer moves its bar and closes it, from
// its own thread, through PostPosition and PostClose. The keyboard cannot close it.
#include "ui/skin_dialog.h"

namespace zorvan {

class CProgressDlg : public SkinDialog {
    Q_OBJECT
public:
    static inline const QString kWindowTitle = QStringLiteral("MyProgressDlg..");

    struct Setup {
        QString background;  // full paths
        QString bar;
        int minimum = 0;
        int maximum = 10;
        int position = 0;
        int barStart = 0;
        int barEnd = 0;
        QString text;
        QRect textRect;      // left, top, width, height in normal-size skin pixels
    };

    CProgressDlg(QWidget* parent, const Setup& setup);

    // False when a picture could not be loaded: the dialog then ends at once.
    bool Loaded() const { return loaded_; }
    int exec() override;

    // A progress report: a position within the range is taken, any other resets to the minimum.
    void SetPosition(int position);
    int Position() const { return position_; }
    // The right end of the drawn bar for the current position, in normal-size skin pixels.
    int BarX() const;

    // From any thread.
    void PostPosition(int position);
    void PostClose();

protected:
    void PaintContent(QPainter& painter) override;

private:
    Setup setup_;
    QImage bar_;
    int position_;
    bool loaded_ = false;
};

}  // namespace zorvan
