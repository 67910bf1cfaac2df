#pragma once
// CNewAdvDlg: the DPI and performance page in its newer layout (the option OldAdvDlg is 0):
// level rows 650 pixels wide, the polling rates in a column on the right, and a link to the
// desktop's own mouse settings (rcSys, with ShowSys).
#include "ui/pages/dpi_page.h"

namespace zorvan {

class CNewAdvDlg : public DpiPage {
    Q_OBJECT
public:
    CNewAdvDlg(const PageContext& context, QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool OnSystemLink(const QPoint& point) const;
};

}  // namespace zorvan
