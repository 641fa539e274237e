#include "ui/qt/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vortena {

bool installItalianQtTexts(QCoreApplication& application) {
  // Lives as long as the program: the application keeps only a pointer to it.
  static QTranslator* translator = nullptr;
  if (translator) return true;
  auto* texts = new QTranslator(&application);
  if (!texts->load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete texts;
    return false;
  }
  QCoreApplication::installTranslator(texts);
  translator = texts;
  return true;
}

}  // namespace vortena
