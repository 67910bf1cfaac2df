#pragma once
// CColorDlg: the colour swatch of one DPI level. A click opens the standard colour dialog
// (ChooseColour); the owner is asked before the picked colour is taken (queryChange, refused
// when it sets `allowed` false), and told afterwards (colourChanged). Read-only swatches only
// show their colour.
#include <QWidget>

#include <cstdint>

namespace zorvan {

class CColorDlg : public QWidget {
    Q_OBJECT
public:
    explicit CColorDlg(QWidget* parent = nullptr);

    int32_t Colour() const { return colour_; }
    void SetColour(int32_t colour);
    // The owner's index of this swatch (the DPI level).
    void SetTag(int tag) { tag_ = tag; }
    int Tag() const { return tag_; }
    void SetReadOnly(bool on);
    bool ReadOnly() const { return readOnly_; }

signals:
    void queryChange(int32_t colour, int tag, bool* allowed);
    void colourChanged(int32_t colour, int tag);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int32_t colour_ = 0xFFFFFF;
    int tag_ = -1;
    bool readOnly_ = false;
};

}  // namespace zorvan
