// The font of the program's windows: the desktop's own sans font at 8 points,
// or "Segoe UI" one point larger on systems that have that font.
#pragma once

class QWidget;

void ApplyWindowFont(QWidget& window);
