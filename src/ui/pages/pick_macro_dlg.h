#pragma once
// CPickMacroDlg: the macro picker the buttons page opens for the macro function. It shows the
// macro folder as a tree, read from the files (the library is not touched), and returns the
// chosen macro, or asks for the macro editor.
#include "macro/macro_tree.h"
#include "ui/pages/page_context.h"
#include "ui/skin_dialog.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace zorvan {

class CPngBtn;
class CTreeCtrlEx;
class MacroTreeModel;

class CPickMacroDlg : public SkinDialog {
    Q_OBJECT
public:
    // The chosen macro's id (masked to 24 bits), -1 when the user asked for the macro editor,
    // nothing when cancelled.
    static std::optional<int> Pick(QWidget* parent, const PageContext& context);

    CPickMacroDlg(QWidget* parent, const PageContext& context);
    ~CPickMacroDlg() override;

    bool Loaded() const { return loaded_; }
    CTreeCtrlEx* Tree() const { return view_; }
    MacroTreeModel* Model() const { return model_.get(); }
    // OK: the selected macro, or the message tc_macro_msg1 (caption "Tips") and the picker stays.
    void OnOk();
    void OnEditor();
    std::optional<int> Result() const { return result_; }

protected:
    void PaintContent(QPainter& painter) override;

private:
    const PageContext& context_;
    bool loaded_ = false;
    MacroTree tree_;
    std::unique_ptr<MacroTreeModel> model_;
    CTreeCtrlEx* view_ = nullptr;
    std::optional<int> result_;
};

}  // namespace zorvan
