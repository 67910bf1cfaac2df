#pragma once
// CKeyMarkDlg: the picture of the mouse on the key page, with a mark over the key whose button
// the pointer is on. It holds two pictures, each the page background under the panel with a
// picture of the model over it: "mouse_nr.png" as it is and "mouse_dn.png" with the keys
// marked. A highlighted mark shows the marked picture inside its rectangle. A press on the
// panel goes on to the page (it closes the function menu and moves the window).
#include "app/device_description.h"

#include <QImage>
#include <QWidget>

#include <array>

namespace zorvan {

class CKeyMarkDlg : public QWidget {
    Q_OBJECT
public:
    explicit CKeyMarkDlg(QWidget* page);

    // The pictures of `device` ("skins/<cid><mid>/", two lower-case hexadecimal digits each) over
    // `pageBackground`, placed at the model's mark point; marks below `keyCount` with a
    // rectangle. False, with the panel empty and without marks, when "mouse_nr.png" cannot
    // be read.
    bool Load(const DeviceDescription& device, const QImage& pageBackground, int keyCount);
    // The file the panel reads, relative to the application folder ("skins\1a01\mouse_nr.png").
    static QString NormalPictureName(const DeviceDescription& device);

    bool HasMarkedPicture() const { return !marked_.isNull(); }
    bool MarkShown(int key) const;
    // Marks key `key` alone; -1 clears every mark.
    void Highlight(int key);
    int Highlighted() const { return highlighted_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage normal_;
    QImage marked_;
    std::array<QRect, 16> marks_{};
    int keyCount_ = 0;
    int highlighted_ = -1;
};

}  // namespace zorvan
