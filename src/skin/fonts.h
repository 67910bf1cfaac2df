#pragma once
// The fonts of the skinned windows: the application font from "appfont.ttf" when cfg.ini names
// one, else the desktop's general user-interface font (what the skin's texts call "MS Shell Dlg")
// at the pixel sizes each screen asks for.
#include <QFont>

#include <optional>

namespace zorvan {

// Makes "appfont.ttf" of the application folder available and creates the font named by
// `FontName` at `FontSize` pixels. Only when `FontName` is set and the file exists; true when
// both the font and the file's registration worked.
bool CreateApplicationFont();
// Removes "appfont.ttf" from the program's fonts again (at exit).
void RemoveApplicationFont();
// The application font, when one was created.
std::optional<QFont> ApplicationFont();

// The desktop's user-interface font at `pixelHeight` pixels and `weight` (100..900).
QFont ShellFont(int pixelHeight, int weight);
// The application font when there is one, else ShellFont(pixelHeight, weight).
QFont WindowFont(int pixelHeight, int weight);

}  // namespace zorvan
