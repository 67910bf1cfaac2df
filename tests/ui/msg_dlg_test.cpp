// The message dialog's inputs: text, number and the capture of a key combination.
#include "text/language_texts.h"
#include "ui/controls/png_btn.h"
#include "ui/pages/key_capture.h"
#include "ui/pages/msg_dlg.h"
#include "ui/ui_fixture.h"

#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <vector>

using namespace zorvan;
using namespace zorvan::test;

namespace {

// One key event of a sequence: virtual key, released, milliseconds since the first event.
struct KeyStep {
    int vk;
    bool up;
    int64_t atMs;
};
using Steps = std::vector<KeyStep>;

constexpr int kCtrl = 17, kShift = 16, kAlt = 18, kRightShift = 161, kA = 0x41, kB = 0x42, kC = 0x43, kD = 0x44;

Steps Presses(std::initializer_list<int> vks, int64_t gapMs = 100)
{
    Steps steps;
    int64_t t = 0;
    for (const int vk : vks) {
        steps.push_back({vk, false, t});
        steps.push_back({vk, true, t + 20});
        t += gapMs;
    }
    return steps;
}

// A key event as the window system gives it (key symbol and X11 key code for the side).
void SendKey(QWidget* to, QEvent::Type type, int key, quint32 scanCode = 0, quint32 keySym = 0,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(type, key, modifiers, scanCode, keySym, 0);
    QApplication::sendEvent(to, &event);
}

void Tap(QWidget* to, int key, quint32 scanCode = 0, quint32 keySym = 0)
{
    SendKey(to, QEvent::KeyPress, key, scanCode, keySym);
    SendKey(to, QEvent::KeyRelease, key, scanCode, keySym);
}

// Runs `act` on the message dialog once it is open.
void WhenOpen(const std::function<void(CMsgDlg*)>& act)
{
    QTimer::singleShot(30, [act] {
        if (auto* dialog = qobject_cast<CMsgDlg*>(QApplication::activeModalWidget()))
            act(dialog);
        else
            WhenOpen(act);
    });
}

CPngBtn* OkButton(QWidget* dialog)
{
    for (CPngBtn* button : dialog->findChildren<CPngBtn*>()) {
        if (button->Text() == GetText("tc_ok"))
            return button;
    }
    return nullptr;
}

}  // namespace

Q_DECLARE_METATYPE(Steps)
Q_DECLARE_METATYPE(Combo)

class MsgDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        fixture_ = std::make_unique<UiFixture>();
        SharedCaptureMemory() = CaptureMemory{};
    }
    void cleanup() { fixture_.reset(); }

    void captureRules_data();
    void captureRules();
    void captureTakesEveryKeyOfTheDialog();
    void modifierBoxesGiveTheModifiers();
    void numberBoxKeepsToTheRange();
    void textAndNumberAnswers();
    void withoutBackgroundInputsAnswerNothing();

private:
    std::unique_ptr<UiFixture> fixture_;
};

void MsgDlgTest::captureRules_data()
{
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<bool>("boxes");
    QTest::addColumn<bool>("single");
    QTest::addColumn<Combo>("expected");

    QTest::newRow("Ctrl Alt A") << Presses({kCtrl, kAlt, kA}) << false << false << Combo{0x05, kA, 0, 0};
    QTest::newRow("Ctrl Alt A then B starts again") << Presses({kCtrl, kAlt, kA, kB}) << false << false
                                                    << Combo{0, kB, 0, 0};
    QTest::newRow("three keys, a fourth starts again") << Presses({kA, kB, kC, kD}) << false << false
                                                       << Combo{0, kD, 0, 0};
    QTest::newRow("held Ctrl repeats as one")
        << Steps{{kCtrl, false, 0}, {kCtrl, false, 30}, {kCtrl, false, 60}, {kA, false, 90}} << false << false
        << Combo{0x01, kA, 0, 0};
    QTest::newRow("Ctrl released and pressed again") << Presses({kCtrl, kCtrl}) << false << false
                                                     << Combo{0x01, 0, 0, 0};
    QTest::newRow("Ctrl A Ctrl starts again with Ctrl") << Presses({kCtrl, kA, kCtrl}) << false << false
                                                        << Combo{0x01, 0, 0, 0};
    QTest::newRow("a pause of a second starts again")
        << Steps{{kCtrl, false, 0}, {kCtrl, true, 10}, {kA, false, 1010}} << false << false << Combo{0, kA, 0, 0};
    QTest::newRow("just under a second goes on")
        << Steps{{kCtrl, false, 0}, {kCtrl, true, 10}, {kA, false, 999}} << false << false << Combo{0x01, kA, 0, 0};
    QTest::newRow("right Shift and left Shift") << Presses({kRightShift, kA}) << false << false
                                                << Combo{0x20, kA, 0, 0};
    QTest::newRow("the same key twice is kept once") << Steps{{kA, false, 0}, {kA, true, 10}, {kA, false, 20}}
                                                     << false << false << Combo{0, kA, 0, 0};
    QTest::newRow("boxes: modifier keys are not seen") << Presses({kShift, kA, kB}) << true << false
                                                       << Combo{0, kA, kB, 0};
    QTest::newRow("single key: each press alone") << Presses({kCtrl, kA, kB}) << false << true
                                                  << Combo{0, kB, 0, 0};
    QTest::newRow("Enter and Esc are keys") << Presses({13, 27}) << false << false << Combo{0, 13, 27, 0};
}

void MsgDlgTest::captureRules()
{
    QFETCH(Steps, steps);
    QFETCH(bool, boxes);
    QFETCH(bool, single);
    QFETCH(Combo, expected);
    CaptureMemory memory;
    ComboCapture capture(memory, boxes, single);
    for (const KeyStep& s : steps)
        capture.OnKey(s.vk, s.up, 5000 + s.atMs);
    QCOMPARE(capture.Current(), expected);
}

void MsgDlgTest::captureTakesEveryKeyOfTheDialog()
{
    CMsgDlg dialog(nullptr, CMsgDlg::kCapture, GetText("tc_combo_tips"), QString(), false);
    dialog.SetCaptureOptions(false, false);
    QVERIFY(dialog.InputBox() != nullptr);
    QVERIFY(dialog.InputBox()->isReadOnly());
    // Right Shift by its key symbol, then Enter and Esc: captured, the dialog stays.
    SendKey(&dialog, QEvent::KeyPress, Qt::Key_Shift, 62, 0xFFE2, Qt::ShiftModifier);
    SendKey(&dialog, QEvent::KeyRelease, Qt::Key_Shift, 62, 0xFFE2);
    Tap(&dialog, Qt::Key_Return);
    Tap(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.Captured(), (Combo{0x20, 13, 27, 0}));
    QCOMPARE(dialog.InputBox()->text(), QStringLiteral("R-Shift + Enter + Esc"));
    QCOMPARE(dialog.result(), 0);

    // Right Ctrl by its X11 key code alone, left Alt by the Qt key alone, then A.
    dialog.SetCaptureOptions(false, true);
    Tap(&dialog, Qt::Key_Control, 105);
    QCOMPARE(dialog.Captured(), (Combo{0x10, 0, 0, 0}));
    dialog.SetCaptureOptions(false, false);
    Tap(&dialog, Qt::Key_Alt);
    Tap(&dialog, Qt::Key_A);
    QCOMPARE(dialog.Captured(), (Combo{0x04, kA, 0, 0}));
    // The keyboard's own repeats never reach the capture.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&dialog, &repeat);
    QCOMPARE(dialog.Captured(), (Combo{0x04, kA, 0, 0}));
}

void MsgDlgTest::modifierBoxesGiveTheModifiers()
{
    struct Case {
        std::vector<int> ticked;  // box indexes: 0 Shift, 1 Ctrl, 2 Alt, 3 Win
        std::optional<Combo> result;
        bool tooLong;
    };
    const Case cases[] = {
        {{1}, Combo{0x01, kA, kB, 0}, false},
        {{1, 2}, std::nullopt, true},  // four elements: tc_msg29, the dialog stays
    };
    for (const Case& c : cases) {
        int messages = 0;
        WhenOpen([&](CMsgDlg* dialog) {
            SendKey(dialog, QEvent::KeyPress, Qt::Key_Shift);  // not seen with boxes
            QCOMPARE(dialog->InputBox()->text(), QString());
            for (const int i : c.ticked)
                QTest::mouseClick(dialog->ModifierBox(i), Qt::LeftButton);
            Tap(dialog, Qt::Key_A);
            Tap(dialog, Qt::Key_B);
            if (c.tooLong) {
                WhenOpen([&](CMsgDlg* message) {
                    ++messages;
                    QCOMPARE(message->accessibleDescription(), GetText("tc_msg29"));
                    message->done(CMsgDlg::kOk);
                    QTimer::singleShot(20, dialog, [dialog] { dialog->done(CMsgDlg::kClosed); });
                });
            }
            QTest::mouseClick(OkButton(dialog), Qt::LeftButton);
        });
        const auto combo = CMsgDlg::CaptureCombo(nullptr, GetText("tc_combo_tips"), true, false);
        QCOMPARE(combo, c.result);
        QCOMPARE(messages, c.tooLong ? 1 : 0);
    }
}

void MsgDlgTest::numberBoxKeepsToTheRange()
{
    CMsgDlg dialog(nullptr, CMsgDlg::kNumber, QStringLiteral("Count"), QString(), false);
    dialog.SetInputLimits(0, 1, 100);
    QLineEdit* box = dialog.InputBox();
    QTest::keyClicks(box, QStringLiteral("1a5"));
    QCOMPARE(box->text(), QStringLiteral("15"));  // digits only
    QTest::keyClick(box, Qt::Key_0);
    QCOMPARE(box->text(), QStringLiteral("100"));
    QCOMPARE(box->cursorPosition(), 3);
    QCOMPARE(dialog.StatusText(), QStringLiteral("%1   1 - 100").arg(GetText("tc_tip4")));
    // OK with a number below the range keeps the dialog open with the range shown.
    box->setText(QStringLiteral("0"));
    QTest::keyClick(&dialog, Qt::Key_Return);
    QCOMPARE(dialog.result(), 0);
    QCOMPARE(dialog.StatusText(), QStringLiteral("%1  1 - 100").arg(GetText("tc_tip4")));
}

void MsgDlgTest::textAndNumberAnswers()
{
    struct Case {
        const char* typed;
        int key;  // ends the dialog
        std::optional<QString> text;
    };
    const Case texts[] = {
        {"Fire", Qt::Key_Return, QStringLiteral("Fire")},
        {"", Qt::Key_Return, std::nullopt},       // empty: as cancelled
        {"Fire", Qt::Key_Escape, std::nullopt},   // Esc cancels
        {"Sniper rifle", Qt::Key_Return, QStringLiteral("Sniper")},  // at most six characters
    };
    for (const Case& c : texts) {
        WhenOpen([&c](CMsgDlg* dialog) {
            QTest::keyClicks(dialog->InputBox(), QString::fromLatin1(c.typed));
            QTest::keyClick(dialog, Qt::Key(c.key));
        });
        QCOMPARE(CMsgDlg::AskText(nullptr, QStringLiteral("Name"), 6), c.text);
    }
    WhenOpen([](CMsgDlg* dialog) {
        QTest::keyClicks(dialog->InputBox(), QStringLiteral("42"));
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    QCOMPARE(CMsgDlg::AskNumber(nullptr, QStringLiteral("Count"), 3, 1, 100), std::optional<int>(42));
}

void MsgDlgTest::withoutBackgroundInputsAnswerNothing()
{
    const QString app = fixture_->UseSkinCopy();
    QVERIFY(QFile::remove(app + QStringLiteral("skins/msg_nr.png")));
    QCOMPARE(CMsgDlg::AskText(nullptr, QStringLiteral("Name"), 0), std::nullopt);
    QCOMPARE(CMsgDlg::AskNumber(nullptr, QStringLiteral("Count"), 0, 0, 10), std::nullopt);
    QCOMPARE(CMsgDlg::CaptureCombo(nullptr, QString(), false, false), std::nullopt);
}

QTEST_MAIN(MsgDlgTest)
#include "msg_dlg_test.moc"
