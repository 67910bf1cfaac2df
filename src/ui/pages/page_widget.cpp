#include "ui/pages/page_widget.h"

#include "ui/pages/menu_dlg.h"

#include <QMouseEvent>
#include <QWindow>

namespace zorvan {

PageWidget::PageWidget(const PageContext& context, QWidget* parent) : QWidget(parent), context_(context)
{
    setGeometry(context.area);
}

void PageWidget::mousePressEvent(QMouseEvent* event)
{
    CMenuDlg::CloseOpen();
    if (event->button() == Qt::LeftButton && window()->windowHandle()) {
        window()->windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

}  // namespace zorvan
