#include "WindowFont.h"

#include <QFont>
#include <QFontDatabase>
#include <QWidget>

namespace {

constexpr const char* kNewerSystemFont = "Segoe UI";
constexpr int kBasePointSize = 8;

}  // namespace

void ApplyWindowFont(QWidget& window) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPointSize(kBasePointSize);
  if (font.family() != kNewerSystemFont && QFontDatabase::hasFamily(kNewerSystemFont)) {
    font.setFamily(kNewerSystemFont);
    font.setPointSize(kBasePointSize + 1);
  }
  window.setFont(font);
}
