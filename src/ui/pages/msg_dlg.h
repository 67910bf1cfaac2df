#pragma once
// CMsgDlg: the skinned modal dialog for short exchanges: a message with OK (mode 1), which can
// also wait for an event and close by itself, a text input (2), a number input (3), the capture
// of a key combination (4) and a confirmation with OK and Cancel (5).
#include "ui/pages/key_capture.h"
#include "ui/skin_dialog.h"

#include <functional>
#include <optional>

class QLineEdit;

namespace zorvan {

class CPngBtn;

class CMsgDlg : public SkinDialog {
    Q_OBJECT
public:
    enum Mode { kMessage = 1, kText = 2, kNumber = 3, kCapture = 4, kConfirm = 5 };
    enum Result { kOk = 1, kClosed = 2 };
    static constexpr int kNoLimit = -1;

    // Mode 1: returns kOk or kClosed. `title` defaults to `tc_tips`.
    static int Message(QWidget* parent, const QString& text, const QString& title = QString());
    // Mode 5: true when the user confirms.
    static bool Confirm(QWidget* parent, const QString& text);
    // Mode 2: the entered text (at most `maxLength` characters when > 0); nothing when
    // cancelled or empty.
    static std::optional<QString> AskText(QWidget* parent, const QString& prompt, int maxLength);
    // Mode 3: a number in [minimum, maximum] (-1: no limit); nothing when cancelled.
    static std::optional<int> AskNumber(QWidget* parent, const QString& prompt, int maxLength, int minimum,
                                        int maximum);
    // Mode 4: the combination the user pressed (it may be empty); nothing when cancelled.
    // `modifierBoxes`: the modifiers are ticked in four check boxes; `singleKey`: every key
    // press starts a new combination.
    static std::optional<Combo> CaptureCombo(QWidget* parent, const QString& tip, bool modifierBoxes, bool singleKey);
    // Mode 1 without buttons: stays until `source` emits `over` (at once when `done()` holds
    // already). Returns kClosed.
    template <typename Source, typename Signal>
    static int Wait(QWidget* parent, const QString& text, const Source* source, Signal over,
                    const std::function<bool()>& done)
    {
        CMsgDlg dialog(parent, kMessage, text, QString(), true);
        QObject::connect(source, over, &dialog, &CMsgDlg::EndWait);
        return dialog.Run(done);
    }

    CMsgDlg(QWidget* parent, Mode mode, const QString& text, const QString& title, bool waiting);
    ~CMsgDlg() override;

    // Sets up the input of modes 2 to 4; call before Run.
    void SetInputLimits(int maxLength, int minimum, int maximum);
    void SetCaptureOptions(bool modifierBoxes, bool singleKey);

    // The auto-close of a waiting message.
    void EndWait();

    // What the dialog shows and holds (also for the tests).
    QLineEdit* InputBox() const { return input_; }
    QString StatusText() const { return status_; }
    const Combo& Captured() const { return capture_.Current(); }
    CPngBtn* ModifierBox(int index) const { return modifierBoxes_[size_t(index)]; }
    // One key event of the capture: virtual-key code, released or pressed.
    void CaptureKey(int vk, bool up);

protected:
    void OnEnter() override;
    void PaintContent(QPainter& painter) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int Run(const std::function<bool()>& done = {});
    void Finish(int result);
    // OK in each mode: true when the dialog may close.
    bool Accept();
    void CheckTypedNumber();
    void ShowCombination();
    QRect Place(int left, int top, int right, int bottom) const;
    int InputLeft() const;
    void BuildInput();
    void BuildModifierBoxes();

    Mode mode_;
    QString text_;
    QString title_;
    bool waiting_;
    bool loaded_ = false;
    QLineEdit* input_ = nullptr;
    QString status_;
    int maxLength_ = 0;
    int minimum_ = 0;
    int maximum_ = 65535;
    bool useModifierBoxes_ = false;
    ComboCapture capture_{SharedCaptureMemory(), false, false};
    std::array<CPngBtn*, 4> modifierBoxes_{};
    QString enteredText_;
    int enteredNumber_ = 0;
    Combo accepted_{};
};

}  // namespace zorvan
