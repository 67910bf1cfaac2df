#pragma once
// CAboutDlg: the program's version, the mouse's firmware version and the web link.
#include "ui/skin_dialog.h"

#include <optional>

namespace zorvan {

class CPngBtn;

class CAboutDlg : public SkinDialog {
    Q_OBJECT
public:
    // `firmware`: the connected mouse's firmware version, none without a mouse.
    CAboutDlg(QWidget* parent, std::optional<int> firmware);

    bool Loaded() const { return loaded_; }
    int exec() override;

    // The text lines as drawn: rectangle (normal-size skin pixels) and text.
    struct Line {
        QRect rect;
        QString text;
    };
    std::vector<Line> Lines() const;
    // Null when `tc_web` is empty.
    CPngBtn* WebLink() const { return webLink_; }
    CPngBtn* FirmwareButton() const { return firmwareButton_; }

protected:
    void OnEnter() override { accept(); }
    void PaintContent(QPainter& painter) override;

private:
    std::optional<int> firmware_;
    bool loaded_ = false;
    CPngBtn* webLink_ = nullptr;
    CPngBtn* firmwareButton_ = nullptr;
};

}  // namespace zorvan
