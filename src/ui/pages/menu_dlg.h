#pragma once
// CMenuDlg: the program's one pop-up list: the lists of the combo buttons and the function menu
// of the key page. At most one is open at a time; opening another closes the first. The entries
// are data given by the owner; an entry with a group is a group row, drawn with the "menusub"
// pictures, whose entries open in a second-level list beside the row while the pointer is on
// it. A pick reports only the entry's code: the owner knows what the menu was opened for.
// Rows that do not fit on the screen scroll with the wheel and the arrow keys.
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace zorvan {

struct MenuEntry {
    QString text;
    int32_t code = 0;
    std::vector<MenuEntry> group;  // not empty: a group row that opens these entries
};

class CMenuDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr QRgb kFrameColour = 0xFF646464;
    static constexpr QRgb kBackgroundColour = 0xFF050505;
    static constexpr QRgb kHoverFillColour = 0xFFDCDCDC;

    // Loads the row pictures once ("menu_nr.png", "menu_ov.png", "menusub_nr.png",
    // "menusub_ov.png") at the skin's scale, so after the 4K flag is decided; the row height is
    // the normal-size height of "menu_nr.png".
    static void LoadPictures();
    static void ReleasePictures();
    static int RowHeight();
    // How many rows a list shows at most: as many as fit on `screen` (the available height).
    static int RowsThatFit(int screenHeight);

    // Closes any open menu and opens a new one: `width` wide, top-left at `topLeft` (screen),
    // one row per entry. Colours: red in the low byte.
    static CMenuDlg* Open(QWidget* owner, std::vector<MenuEntry> entries, int width, const QPoint& topLeft,
                          int32_t textColour, int32_t hoverColour);
    // Closes the open menu and its second level, unless it is being built.
    static void CloseOpen();
    static CMenuDlg* Current();

    int RowCount() const { return int(entries_.size()); }
    // Rows shown at once; the first of them.
    int VisibleRows() const;
    int FirstRow() const { return firstRow_; }
    // The rectangle of entry `row` while it is shown (empty when scrolled away).
    QRect RowRect(int row) const;
    bool IsGroupRow(int row) const;
    int HoverRow() const { return hoverRow_; }
    // The open second-level list of the hovered group row, if any.
    CMenuDlg* SecondLevel() const { return second_.data(); }

signals:
    // An entry was picked (also one of the second level); the menu closes itself afterwards.
    void picked(int32_t code);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    CMenuDlg(QWidget* owner, Qt::WindowFlags flags, std::vector<MenuEntry> entries, int32_t textColour,
             int32_t hoverColour);
    int RowAt(const QPoint& pos) const;
    // The second-level list of a group row: it belongs to the list it opened from.
    CMenuDlg* FirstLevel() const { return qobject_cast<CMenuDlg*>(parentWidget()); }
    void SetHoverRow(int row);
    // Moves the hovered row by `step` (keys), scrolling it into view.
    void MoveHover(int step);
    void ScrollTo(int firstRow);
    void OpenSecondLevel(int row);
    void CloseSecondLevel();
    void Pick(int row);
    // The second level under the screen position `global`, if it is open there.
    CMenuDlg* SecondLevelAt(const QPointF& global) const;

    std::vector<MenuEntry> entries_;
    int32_t textColour_;
    int32_t hoverColour_;
    int hoverRow_ = -1;
    int firstRow_ = 0;
    int visibleRows_ = 0;
    bool keyboardInSecond_ = false;
    QPointer<CMenuDlg> second_;

    static QPointer<CMenuDlg> open_;
    static bool building_;
};

}  // namespace zorvan
