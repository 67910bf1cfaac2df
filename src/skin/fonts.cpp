#include "skin/fonts.h"

#include "app/configuration.h"
#include "app/paths.h"

#include <QFileInfo>
#include <QFontDatabase>

#include <algorithm>

namespace zorvan {
namespace {

struct AppFontState {
    int fontId = -1;
    std::optional<QFont> font;
};

AppFontState& State()
{
    static AppFontState state;
    return state;
}

QFont::Weight WeightOf(int weight)
{
    return QFont::Weight(std::clamp(weight, 1, 1000));
}

}  // namespace

bool CreateApplicationFont()
{
    const QString path = Paths().appDir + QStringLiteral("appfont.ttf");
    if (Options().FontName.isEmpty() || !QFileInfo::exists(path))
        return false;
    AppFontState& state = State();
    state.fontId = QFontDatabase::addApplicationFont(path);
    if (state.fontId < 0)
        return false;
    QFont font(Options().FontName);
    font.setPixelSize(Options().FontSize > 0 ? Options().FontSize : 12);
    font.setWeight(WeightOf(90));
    state.font = font;
    return true;
}

void RemoveApplicationFont()
{
    AppFontState& state = State();
    if (state.fontId >= 0)
        QFontDatabase::removeApplicationFont(state.fontId);
    state.fontId = -1;
    state.font.reset();
}

std::optional<QFont> ApplicationFont()
{
    return State().font;
}

QFont ShellFont(int pixelHeight, int weight)
{
    // The heights are cell heights (ascent plus descent); Qt sizes the em square.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(std::max(int(pixelHeight * 0.85 + 0.5), 1));
    font.setWeight(WeightOf(weight));
    return font;
}

QFont WindowFont(int pixelHeight, int weight)
{
    if (auto font = ApplicationFont())
        return *font;
    return ShellFont(pixelHeight, weight);
}

}  // namespace zorvan
