#pragma once
// CFirekeyDlg: asks for the shot count (0..3) and the interval of the fire key function. It
// opens with the key's own values when the key already fires; while typing, a count above 3
// becomes 3 and an interval above 255 becomes 255; OK needs a count, and an interval below 10
// (or none) becomes 10.
#include "app/key_assignment.h"
#include "ui/skin_dialog.h"

#include <optional>

class QLineEdit;

namespace zorvan {

struct FireSettings {
    int count = 3;
    int interval = 10;
    friend bool operator==(const FireSettings&, const FireSettings&) = default;
};

class CFirekeyDlg : public SkinDialog {
    Q_OBJECT
public:
    static constexpr int kCountMax = 3;

    // `current`: the key's assignment in the key set in use. Nothing when cancelled (also when
    // the dialog's background cannot be loaded).
    static std::optional<FireSettings> Open(QWidget* parent, const KeyAssignment& current);

    CFirekeyDlg(QWidget* parent, const KeyAssignment& current);
    bool Loaded() const { return loaded_; }
    QLineEdit* CountBox() const { return count_; }
    QLineEdit* IntervalBox() const { return interval_; }
    const FireSettings& Result() const { return result_; }

protected:
    void OnEnter() override { Accept(); }
    void keyPressEvent(QKeyEvent* event) override;
    void PaintContent(QPainter& painter) override;

private:
    void Accept();
    QLineEdit* NewBox(const QRect& place, const QString& text);

    bool loaded_ = false;
    QLineEdit* count_ = nullptr;
    QLineEdit* interval_ = nullptr;
    FireSettings result_;
};

}  // namespace zorvan
