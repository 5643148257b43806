// The window tests run on Qt's offscreen platform unless told otherwise.
#include <gtest/gtest.h>

#include <QApplication>

#include "Startup.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  NameApplication();
  app.setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
