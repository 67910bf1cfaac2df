#pragma once
// A page that shows only its background and its title: what each page of the main window is
// until its own controls exist.
#include "ui/pages/page_widget.h"

#include <string>

namespace zorvan {

class TitledPage : public PageWidget {
    Q_OBJECT
public:
    // `background`: the skin picture of the page (window-sized; the page takes the part under
    // it), `titleKey`: the language text of its title.
    TitledPage(const PageContext& context, QWidget* parent, const QString& background, std::string titleKey);

    QString Title() const;

protected:
    // The page's part of the skin picture (null when the picture is missing).
    const QImage& Background() const { return background_; }
    void paintEvent(QPaintEvent* event) override;

private:
    QImage background_;
    std::string titleKey_;
};

}  // namespace zorvan
