#pragma once
// CKeyDlg: the key assignment page. One button per key of the model, labelled with the name of
// its function in the key set in use; a click opens the function menu below the button, and a
// pick (after the combination capture, the fire key dialog or the macro picker where the
// function needs details) goes through the editing path. Beside them: the key numbers, the
// picture of the mouse with the hovered key marked, the on-board profile selector, the debounce
// control and the restore, export and import buttons.
#include "ui/pages/titled_page.h"

#include <QTimer>

#include <array>
#include <set>

namespace zorvan {

class CComboBtn;
class CDebounceDlg;
class CKeyMarkDlg;
class CPngBtn;

class CKeyDlg : public TitledPage {
    Q_OBJECT
public:
    static constexpr int kKeys = 16;
    static constexpr int kHoverMarkMs = 300;
    static constexpr QRgb kMaskedKeyText = 0x646464;

    CKeyDlg(const PageContext& context, QWidget* parent);

    void LayoutForDevice() override;
    void RefreshFromProfile() override;
    void RefreshTexts() override;

    // Key button `key` in page pixels: `ptKey` and the gap `keyGap` (KEYH) as cfg.ini gives them.
    static QRect KeyButtonRect(int key, int left, int top, int keyGap, bool fourK);
    // The key number beside a key button.
    static QRect KeyNumberRect(const QRect& keyButton, bool fourK);

    // What a click on key button `key` does: the function menu opens below it.
    void OpenKeyMenu(int key);
    // A function was picked in the menu opened for `key`.
    void OnFunctionPicked(int key, uint32_t code);
    // Assigns a complete key assignment to `key` (the left-click guard and the key-set switch
    // rule apply).
    void AssignRecord(int key, const KeyAssignment& record);
    // The hover marking: the mark of the key whose button is under `global` (screen).
    void MarkKeyUnder(const QPoint& global);
    // The hover marking is due (kHoverMarkMs after the pointer entered or left a key button).
    bool HoverMarkDue() const { return hoverMark_.isActive(); }

    CPngBtn* KeyButton(int key) const { return keys_[size_t(key)]; }
    CComboBtn* ProfileSelector() const { return profiles_; }
    CKeyMarkDlg* MarkPanel() const { return marks_; }
    CDebounceDlg* Debounce() const { return debounce_; }
    CPngBtn* RestoreButton() const { return restore_; }
    CPngBtn* ExportButton() const { return export_; }
    CPngBtn* ImportButton() const { return import_; }
    int ShownKeyCount() const { return keyCount_; }
    bool KeyNumberShown(int key) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildKeys();
    void BuildProfileSelector();
    void BuildCommandButtons();
    void FillProfileSelector();
    void ShowKeyTexts();
    void SetKeyText(int key, const QString& name);
    void SelectShownProfile();
    void LoadMousePicture();

    std::array<CPngBtn*, kKeys> keys_{};
    std::array<QImage, kKeys> numbers_;
    CComboBtn* profiles_ = nullptr;
    CPngBtn* restore_ = nullptr;
    CPngBtn* export_ = nullptr;
    CPngBtn* import_ = nullptr;
    CDebounceDlg* debounce_ = nullptr;
    CKeyMarkDlg* marks_ = nullptr;
    QTimer hoverMark_;
    int keyCount_ = 0;
    bool debounceShown_ = false;
    std::set<QString> missingPictures_;  // mouse pictures already reported missing
};

}  // namespace zorvan
