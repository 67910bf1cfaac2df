#pragma once
// CColorBtnDlg: the framed result swatch of the lighting page. It shows one colour (or a
// picture), reports a press to its owner (pressed) and, when its dialog is enabled, lets a
// double click change the colour in the standard colour dialog (colourChanged).
//
// ChooseColour is the colour dialog both swatches open (this one and the DPI levels' CColorDlg).
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

namespace zorvan {

// The standard colour dialog, starting from `colour` (red in the low byte); the colour picked,
// nothing when cancelled.
std::optional<int32_t> ChooseColour(QWidget* parent, int32_t colour);
// Replaces the dialog (tests); returns the previous chooser. An empty chooser restores the dialog.
using ColourChooser = std::function<std::optional<int32_t>(QWidget* parent, int32_t colour)>;
ColourChooser SetColourChooser(ColourChooser chooser);

class CColorBtnDlg : public QWidget {
    Q_OBJECT
public:
    explicit CColorBtnDlg(QWidget* parent = nullptr);

    int32_t Colour() const { return colour_; }
    void SetColour(int32_t colour);
    void SetDialogEnabled(bool on) { dialogEnabled_ = on; }
    void SetFramed(bool on);
    bool Framed() const { return framed_; }
    void SetFrameColour(int32_t colour);
    void SetTag(int tag) { tag_ = tag; }
    int Tag() const { return tag_; }
    // Drawn instead of the colour when set.
    void SetImage(const QImage& image);

signals:
    // The swatch was pressed: `unframed` when its frame was off.
    void pressed(bool unframed, int tag);
    void colourChanged(int32_t colour, int tag);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool dialogEnabled_ = true;
    int32_t colour_ = 0x00FF00;
    bool framed_ = false;
    int32_t frameColour_ = 0xFFFFFF;
    int tag_ = 0;
    QImage image_;
};

}  // namespace zorvan
