#pragma once
// CDebounceDlg: the debounce control of the key page: the profile's debounce time with a
// button to lower and one to raise it by a millisecond within DebounceRange. Lowering to or
// below the TipForDebounce threshold (when below 255) asks first. Each change goes through
// the editing path at once (request 0x1000 with ApplyNow).
#include "ui/pages/page_context.h"

#include <QImage>
#include <QWidget>

namespace zorvan {

class CPngBtn;

class CDebounceDlg : public QWidget {
    Q_OBJECT
public:
    // Where the control sits on the key page, in page pixels of the normal-size skin.
    static constexpr QRect kPlace{45, 447, 170, 30};

    CDebounceDlg(const PageContext& context, QWidget* page);

    // The value shown (the page sets it from the profile).
    void SetValue(int ms);
    int Value() const { return value_; }
    // What the two buttons do.
    void Lower();
    void Raise();
    CPngBtn* LowerButton() const { return lower_; }
    CPngBtn* RaiseButton() const { return raise_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Change(int ms);

    const PageContext& context_;
    QImage picture_;
    CPngBtn* lower_ = nullptr;
    CPngBtn* raise_ = nullptr;
    int value_ = 0;
};

}  // namespace zorvan
