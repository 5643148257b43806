#include "ProgramIcon.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>

namespace {

QPixmap ReelPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal s = size / 32.0;
  painter.setPen(QPen(QColor(20, 40, 90), 1.5 * s));
  painter.setBrush(QColor(40, 90, 180));
  painter.drawEllipse(QRectF(2 * s, 2 * s, 28 * s, 28 * s));
  painter.setBrush(Qt::white);
  const QPointF holes[] = {{16, 8.5}, {23.5, 16}, {16, 23.5}, {8.5, 16}};
  for (const QPointF& hole : holes)
    painter.drawEllipse(QPointF(hole.x() * s, hole.y() * s), 3.5 * s, 3.5 * s);
  painter.setBrush(QColor(20, 40, 90));
  painter.drawEllipse(QPointF(16 * s, 16 * s), 2 * s, 2 * s);
  return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) icon.addPixmap(ReelPixmap(size));
  return icon;
}

QIcon ThemeIcon(const char* themeName, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(themeName, QApplication::style()->standardIcon(fallback));
}
