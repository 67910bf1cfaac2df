#pragma once
// CMsgDlg: the skinned modal dialog for short exchanges: a message with OK (mode 1), which can
// also wait for an event and close by itself, and a confirmation with OK and Cancel (mode 5).
#include "ui/skin_dialog.h"

#include <functional>
#include <optional>

namespace zorvan {

class CPngBtn;

class CMsgDlg : public SkinDialog {
    Q_OBJECT
public:
    enum Mode { kMessage = 1, kConfirm = 5 };
    enum Result { kOk = 1, kClosed = 2 };

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

    // The auto-close of a waiting message.
    void EndWait();

protected:
    void OnEnter() override { Finish(kOk); }
    void PaintContent(QPainter& painter) override;

private:
    int Run(const std::function<bool()>& done = {});
    void Finish(int result);
    QRect Place(int left, int top, int right, int bottom) const;

    Mode mode_;
    QString text_;
    QString title_;
    bool waiting_;
    bool loaded_ = false;
};

}  // namespace zorvan
