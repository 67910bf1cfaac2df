#include "ui/pages/page_widget.h"

#include "ui/pages/menu_dlg.h"

#include <QMouseEvent>
#include <QWindow>

namespace zorvan {

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
