// Renders the default Zorvan skin into <output>/skins, each picture at normal size ("NAME.png")
// and at double size for the doubled window ("NAME@2x.png"), and the icons into <output>.
#include "art.h"
#include "draw.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    const QString skins = out + QStringLiteral("skins/");
    for (int scale : {1, 2}) {
        skin::SetRenderScale(scale);
        skin::RenderWindows(skins);
        skin::RenderTitleAndNavigation(skins);
        skin::RenderControls(skins);
        skin::RenderDialogs(skins);
        skin::RenderIndicators(skins);
        skin::RenderMice(skins);
        skin::RenderMacroArt(skins);
    }
    skin::SetRenderScale(1);
    skin::RenderIcons(out);
    return 0;
}
