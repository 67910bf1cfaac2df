#pragma once
// Hover and pressed looks for buttons whose skin has one picture for every state (the title
// buttons): the skin's "_ov" and "_dn" pictures when it has them, else the normal picture
// lightened for hover and darkened for pressed.
#include <QImage>
#include <QString>

namespace zorvan {

class CPngBtn;

// The normal picture lightened (hover) or darkened (pressed); transparent pixels stay so.
QImage HoverLook(const QImage& normal);
QImage PressedLook(const QImage& normal);

// Gives `button`, made from the skin file `normalFile` ("min_nr.png"), its three looks.
void GiveStateLooks(CPngBtn* button, const QString& normalFile);

}  // namespace zorvan
