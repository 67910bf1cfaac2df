#pragma once
// A page of the main window, placed in the page area. The main window calls these after the
// device, the profile or the language changed.
#include <QImage>
#include <QWidget>

namespace zorvan {

class PageWidget : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    virtual void LayoutForDevice() {}
    virtual void RefreshFromProfile() {}
    virtual void RefreshTexts() { update(); }
    // The macro page answers true while it records a macro: the page may not change then.
    virtual bool IsRecording() const { return false; }

protected:
    // A press on the page background closes the pop-up and moves the main window.
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace zorvan
