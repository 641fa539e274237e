// The window tests need a QApplication; without a display they draw off screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "ui/qt/qt_translations.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  // As the window does at start: Qt's own texts in Italian (a test checks that they are).
  vortena::installItalianQtTexts(application);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
