#pragma once
// A page of the main window, placed in the page area and given its context. The main window
// calls these after the device, the profile or the language changed.
#include "ui/pages/page_context.h"

#include <QImage>
#include <QWidget>

namespace zorvan {

class PageWidget : public QWidget {
    Q_OBJECT
public:
    PageWidget(const PageContext& context, QWidget* parent);

    virtual void LayoutForDevice() {}
    virtual void RefreshFromProfile() {}
    virtual void RefreshTexts() { update(); }
    // May the window show another page now? A page that refuses (the macro page while it
    // records) tells the user why itself.
    virtual bool CanLeave() { return true; }

protected:
    const PageContext& Context() const { return context_; }
    // A press on the page background closes the pop-up and moves the main window.
    void mousePressEvent(QMouseEvent* event) override;

private:
    const PageContext& context_;
};

}  // namespace zorvan
