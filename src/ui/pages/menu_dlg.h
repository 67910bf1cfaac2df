#pragma once
// CMenuDlg: the program's one pop-up list (combo lists; the function menu of the key page
// builds on it). At most one is open at a time; opening another closes the first.
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace zorvan {

struct MenuEntry {
    QString text;
    int32_t code = 0;
};

class CMenuDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxEntries = 50;
    static constexpr QRgb kFrameColour = 0xFF646464;
    static constexpr QRgb kBackgroundColour = 0xFF050505;
    static constexpr QRgb kHoverFillColour = 0xFFDCDCDC;

    // Loads the row pictures once ("menu_nr.png", "menu_ov.png", "menusub_nr.png",
    // "menusub_ov.png"); the row height is the height of "menu_nr.png".
    static void LoadPictures();
    static void ReleasePictures();
    static int RowHeight();

    // Closes any open menu and opens a new one: `width` wide, top-left at `topLeft` (screen),
    // one row per entry (none when there are more than kMaxEntries). Colours: red in the low byte.
    static CMenuDlg* Open(QWidget* owner, const std::vector<MenuEntry>& entries, int width, const QPoint& topLeft,
                          int32_t textColour, int32_t hoverColour, int keyIndex);
    // Closes the open menu (message 1143), unless it is being built.
    static void CloseOpen();
    static CMenuDlg* Current();

    int RowCount() const { return int(entries_.size()); }
    QRect RowRect(int row) const;
    int KeyIndex() const { return keyIndex_; }

signals:
    // An entry was picked; the menu closes itself afterwards.
    void picked(int32_t code, int keyIndex);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    CMenuDlg(QWidget* owner, const std::vector<MenuEntry>& entries, int32_t textColour, int32_t hoverColour,
             int keyIndex);
    int RowAt(const QPoint& pos) const;

    std::vector<MenuEntry> entries_;
    int32_t textColour_;
    int32_t hoverColour_;
    int keyIndex_;
    int hoverRow_ = -1;

    static QPointer<CMenuDlg> open_;
    static bool building_;
};

}  // namespace zorvan
