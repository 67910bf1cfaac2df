#pragma once
// CMoveDlg: the macro editor's dialog for one mouse-move event: X and Y, each -127..127.
#include "ui/skin_dialog.h"

#include <QPoint>

#include <optional>

class QLineEdit;

namespace zorvan {

// What a move box keeps of typed text: up to the first character that is not a digit, "-" or
// "+"; a number below -127 becomes "-127", above 127 "127".
QString MoveBoxText(const QString& typed);

class CMoveDlg : public SkinDialog {
    Q_OBJECT
public:
    // The edited move (x, y), or nothing when cancelled (also when "msg_nr.png" is missing).
    static std::optional<QPoint> Edit(QWidget* parent, int x, int y);

    CMoveDlg(QWidget* parent, int x, int y);
    bool Loaded() const { return loaded_; }
    QLineEdit* XBox() const { return x_; }
    QLineEdit* YBox() const { return y_; }
    // The values after OK: an empty box keeps its value.
    QPoint Result() const { return result_; }

protected:
    void OnEnter() override { Accept(); }
    void PaintContent(QPainter& painter) override;

private:
    void Accept();
    QLineEdit* NewBox(const QRect& rect, int value);

    bool loaded_ = false;
    QLineEdit* x_ = nullptr;
    QLineEdit* y_ = nullptr;
    QPoint result_;
};

}  // namespace zorvan
