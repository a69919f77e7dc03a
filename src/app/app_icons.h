#pragma once
// The program's pictures, drawn in code so that they scale and need no image files:
// the program icon, the tool bar images and the intro picture.
#include <QIcon>
#include <QPixmap>

namespace tessary {

QIcon AppIcon();
// The program icon drawn afresh at size x size pixels (the installed icons are made so).
QPixmap AppIconPixmap(int size);
// The image of a tool bar command; a null icon for commands without one.
QIcon CommandIcon(int id);
// The picture of the intro window.
QPixmap IntroPicture();

}  // namespace tessary
