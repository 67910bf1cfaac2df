#include "ui/pages/msg_dlg.h"

#include "app/configuration.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/skin_files.h"
#include "text/key_names.h"
#include "text/language_texts.h"
#include "ui/controls/button_factory.h"
#include "ui/controls/png_btn.h"
#include "ui/pages/key_vk.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

#include <chrono>
#include <climits>

namespace zorvan {
namespace {

constexpr int kInputWidth = 300;
constexpr int kModifierBoxGap = 70;

struct ModifierBox {
    const char* label;
    uint8_t flag;
};
// In the order the boxes stand, left to right.
constexpr ModifierBox kModifierBoxes[] = {{"Shift", 0x02}, {"Ctrl", 0x01}, {"Alt", 0x04}, {"Win", 0x08}};

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

CMsgDlg::CMsgDlg(QWidget* parent, Mode mode, const QString& text, const QString& title, bool waiting)
    : SkinDialog(parent, kMessageWindowTitle), mode_(mode), text_(text), title_(title), waiting_(waiting)
{
    if (title_.isEmpty())
        title_ = GetText("tc_tips");
    setFont(WindowFont(Scaled(16), 400));
    setAccessibleName(title_);
    setAccessibleDescription(text_);
    loaded_ = LoadBackground(SkinFile(QStringLiteral("msg_nr.png")), true);
    if (!loaded_ || waiting_)
        return;
    const auto button = [this](const QRect& r, const QString& name, const QString& caption) {
        SkinButtonSpec look{r, name, name, name, caption};
        look.parentPicture = Background();
        return NewSmallPngButton(this, look);
    };
    const QString okText = GetText("tc_ok");
    if (mode_ == kConfirm) {
        if (CPngBtn* ok = button(QRect(136, 110, 80, 27), QStringLiteral("button2_nr.png"), okText))
            connect(ok, &CPngBtn::clicked, this, [this] { Finish(kOk); });
        if (CPngBtn* cancel = button(QRect(242, 110, 80, 27), QStringLiteral("button2_nr.png"), GetText("tc_cancel")))
            connect(cancel, &CPngBtn::clicked, this, [this] { Finish(kClosed); });
        return;
    }
    if (CPngBtn* close = button(QRect(399, 10, 25, 25), QStringLiteral("exit_nr.png"), QString())) {
        close->setAccessibleName(QStringLiteral("Close"));
        connect(close, &CPngBtn::clicked, this, [this] { Finish(kClosed); });
    }
    if (CPngBtn* ok = button(QRect(186, 110, 80, 27), QStringLiteral("button2_nr.png"), okText))
        connect(ok, &CPngBtn::clicked, this, [this] { Finish(kOk); });
    if (mode_ == kText || mode_ == kNumber || mode_ == kCapture)
        BuildInput();
}

CMsgDlg::~CMsgDlg()
{
    if (mode_ == kCapture)
        qApp->removeEventFilter(this);
}

int CMsgDlg::InputLeft() const
{
    const int unscaledWidth = IsFourK() ? width() / 2 : width();
    return (unscaledWidth - kInputWidth) / 2;
}

void CMsgDlg::BuildInput()
{
    const int x = InputLeft();
    input_ = new QLineEdit(this);
    input_->setGeometry(Place(x, 65, x + kInputWidth, 85));
    input_->setFont(WindowFont(Scaled(16), 400));
    input_->setFrame(false);
    input_->setStyleSheet(QStringLiteral("QLineEdit { background: #F0F0F0; color: #0A0A0A; }"));
    input_->setAccessibleName(text_);
    if (mode_ == kNumber) {
        input_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), input_));
        connect(input_, &QLineEdit::textEdited, this, &CMsgDlg::CheckTypedNumber);
    }
    if (mode_ == kCapture) {
        // Every key of the dialog goes to the capture, Enter, Esc and Tab included.
        input_->setReadOnly(true);
        input_->setFocusPolicy(Qt::NoFocus);
        qApp->installEventFilter(this);
    }
    input_->setFocus();
}

void CMsgDlg::SetInputLimits(int maxLength, int minimum, int maximum)
{
    maxLength_ = maxLength;
    minimum_ = minimum;
    maximum_ = maximum;
    if (input_ && maxLength > 0)
        input_->setMaxLength(maxLength);
}

void CMsgDlg::SetCaptureOptions(bool modifierBoxes, bool singleKey)
{
    useModifierBoxes_ = modifierBoxes;
    capture_ = ComboCapture(SharedCaptureMemory(), modifierBoxes, singleKey);
    if (modifierBoxes && loaded_ && modifierBoxes_[0] == nullptr)
        BuildModifierBoxes();
}

void CMsgDlg::BuildModifierBoxes()
{
    int left = InputLeft() + 2;
    for (size_t i = 0; i < std::size(kModifierBoxes); ++i) {
        SkinButtonSpec look{QRect(left, 93, 11, 11), QStringLiteral("Check_nr.png"), QStringLiteral("Check_nr.png"),
                            QStringLiteral("Check_dn.png"), QString(), true};
        look.parentPicture = Background();
        CPngBtn* box = NewSmallPngButton3(this, look);
        if (box != nullptr) {
            box->SetToggleMode(true, true);
            box->setAccessibleName(QLatin1String(kModifierBoxes[i].label));
            box->show();
        }
        modifierBoxes_[i] = box;
        left += 11 + kModifierBoxGap;
    }
    update();
}

int CMsgDlg::Message(QWidget* parent, const QString& text, const QString& title)
{
    CMsgDlg dialog(parent, kMessage, text, title, false);
    return dialog.Run();
}

bool CMsgDlg::Confirm(QWidget* parent, const QString& text)
{
    CMsgDlg dialog(parent, kConfirm, text, QString(), false);
    return dialog.Run() == kOk;
}

std::optional<QString> CMsgDlg::AskText(QWidget* parent, const QString& prompt, int maxLength)
{
    CMsgDlg dialog(parent, kText, prompt, QString(), false);
    dialog.SetInputLimits(maxLength, 0, 0);
    if (dialog.Run() != kOk)
        return std::nullopt;
    return dialog.enteredText_;
}

std::optional<int> CMsgDlg::AskNumber(QWidget* parent, const QString& prompt, int maxLength, int minimum, int maximum)
{
    CMsgDlg dialog(parent, kNumber, prompt, QString(), false);
    dialog.SetInputLimits(maxLength, minimum, maximum);
    if (dialog.Run() != kOk)
        return std::nullopt;
    return dialog.enteredNumber_;
}

std::optional<Combo> CMsgDlg::CaptureCombo(QWidget* parent, const QString& tip, bool modifierBoxes, bool singleKey)
{
    CMsgDlg dialog(parent, kCapture, tip, QString(), false);
    dialog.SetCaptureOptions(modifierBoxes, singleKey);
    if (dialog.Run() != kOk)
        return std::nullopt;
    return dialog.accepted_;
}

int CMsgDlg::Run(const std::function<bool()>& done)
{
    // Without its background the dialog ends at once, as if closed.
    if (!loaded_ || (done && done()))
        return kClosed;
    const int result = exec();
    return result == kOk ? kOk : kClosed;
}

void CMsgDlg::EndWait()
{
    Finish(kClosed);
}

void CMsgDlg::OnEnter()
{
    Finish(kOk);
}

void CMsgDlg::Finish(int result)
{
    if (waiting_ && result == kOk)
        return;  // a waiting message has no OK
    // An empty text closes the text input as cancelled.
    if (result == kOk && mode_ == kText && input_->text().isEmpty())
        result = kClosed;
    if (result == kOk && !Accept())
        return;
    done(result);
}

bool CMsgDlg::Accept()
{
    switch (mode_) {
    case kText:
        enteredText_ = input_->text();
        return true;
    case kNumber: {
        bool ok = false;
        const qlonglong value = input_->text().isEmpty() ? 0 : input_->text().toLongLong(&ok);
        const bool readable = input_->text().isEmpty() || ok;
        const bool inRange = readable && (minimum_ == kNoLimit || value >= minimum_) &&
                             (maximum_ == kNoLimit || value <= maximum_) && value <= INT_MAX;
        if (!inRange) {
            status_ = QStringLiteral("%1  %2 - %3").arg(GetText("tc_tip4")).arg(minimum_).arg(maximum_);
            update();
            return false;
        }
        enteredNumber_ = int(value);
        return true;
    }
    case kCapture: {
        accepted_ = capture_.Current();
        if (!useModifierBoxes_)
            return true;
        uint8_t flags = 0;
        for (size_t i = 0; i < std::size(kModifierBoxes); ++i) {
            if (modifierBoxes_[i] != nullptr && modifierBoxes_[i]->isChecked())
                flags |= kModifierBoxes[i].flag;
        }
        if (capture_.KeyCount() + ComboCapture::ModifierKinds(flags) > 3) {
            Message(this, GetText("tc_msg29"));
            return false;
        }
        accepted_[0] = flags;
        return true;
    }
    default:
        return true;
    }
}

void CMsgDlg::CheckTypedNumber()
{
    bool ok = false;
    const qlonglong value = input_->text().toLongLong(&ok);
    if (!ok) {
        status_.clear();
        if (!input_->text().isEmpty() && maximum_ != kNoLimit) {
            // Too many digits for any number: above every maximum.
            input_->setText(QString::number(maximum_));
            input_->end(false);
        }
    } else if (minimum_ != kNoLimit && value < minimum_) {
        status_ = QStringLiteral("%1  %2 - %3").arg(GetText("tc_tip4")).arg(minimum_).arg(maximum_);
    } else if (maximum_ != kNoLimit && value > maximum_) {
        status_ = QStringLiteral("%1   %2 - %3").arg(GetText("tc_tip4")).arg(minimum_).arg(maximum_);
        input_->setText(QString::number(maximum_));
        input_->end(false);
    } else {
        status_.clear();
    }
    update();
}

void CMsgDlg::CaptureKey(int vk, bool up)
{
    if (vk == 0 || !capture_.OnKey(vk, up, NowMs()))
        return;
    ShowCombination();
}

void CMsgDlg::ShowCombination()
{
    const Combo& c = capture_.Current();
    input_->setText(ComboTextLR(c[0], c[1], c[2], c[3]));
}

bool CMsgDlg::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::ShortcutOverride) {
        key->accept();  // no shortcut takes a key from the capture
        return true;
    }
    // Qt marks the keyboard's repeats; the capture's own rule drops what is left.
    if (!key->isAutoRepeat())
        CaptureKey(VirtualKeyOf(*key), type == QEvent::KeyRelease);
    return true;
}

void CMsgDlg::keyPressEvent(QKeyEvent* event)
{
    // Esc cancels where nothing is waited for; a waiting message stays until its event.
    if (event->key() == Qt::Key_Escape && !waiting_ && !event->isAutoRepeat()) {
        event->accept();
        Finish(kClosed);
        return;
    }
    SkinDialog::keyPressEvent(event);
}

QRect CMsgDlg::Place(int left, int top, int right, int bottom) const
{
    return Scaled(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

void CMsgDlg::PaintContent(QPainter& painter)
{
    const int32_t textColour = Options().Txt_clr;
    painter.setPen(ColourOf(textColour));
    painter.setFont(font());
    painter.drawText(Place(12, 9, 112, 29), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title_);
    if (mode_ == kMessage || mode_ == kConfirm) {
        const int unscaledWidth = IsFourK() ? width() / 2 : width();
        const QRect area = Place(10, 44, unscaledWidth - 10, 104);
        const bool fits = painter.fontMetrics().horizontalAdvance(text_) <= area.width();
        painter.drawText(area, Qt::AlignCenter | (fits ? Qt::TextSingleLine : Qt::TextWordWrap), text_);
        return;
    }
    const int x = InputLeft();
    painter.drawText(Place(x, 41, x + kInputWidth, 61), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text_);
    if (useModifierBoxes_) {
        for (size_t i = 0; i < std::size(kModifierBoxes); ++i) {
            const int left = x + 2 + int(i) * (11 + kModifierBoxGap) + 11 + 4;
            painter.drawText(Place(left, 90, left + kModifierBoxGap - 6, 107),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             QLatin1String(kModifierBoxes[i].label));
        }
        return;
    }
    painter.drawText(Place(x, 95, x + kInputWidth, 113), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, status_);
}

}  // namespace zorvan
