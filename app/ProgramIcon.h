// The program's icon, drawn at run time (a film reel), and the glyphs of the
// window's buttons and menus: the desktop theme's icon when there is one,
// else the style's own.
#pragma once

#include <QIcon>
#include <QStyle>

QIcon ProgramIcon();
QIcon ThemeIcon(const char* themeName, QStyle::StandardPixmap fallback);
