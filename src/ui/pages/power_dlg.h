#pragma once
// CPowerDlg: the battery indicator of the main window, 37 x 43 at `ptPower`, hidden until the
// device session hands it a reading.
#include <QImage>
#include <QWidget>

#include <array>

namespace zorvan {

class CPowerDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kSize{37, 43};

    // `background`: the main window's background as drawn; the indicator takes the piece under it.
    CPowerDlg(QWidget* parent, const QImage& background);

    void SetPower(bool charging, int level);
    bool Charging() const { return charging_; }
    int Level() const { return level_; }
    // The picture shown now: "power1.png" .. "power4.png" or "power_charging.png".
    QString PictureName() const;
    // Whether the level text is drawn.
    bool ShowsLevelText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // 0..3: the level pictures, 4: charging.
    int PictureIndex() const;

    QImage background_;
    std::array<QImage, 5> pictures_;
    bool charging_ = false;
    int level_ = 0;
};

}  // namespace zorvan
