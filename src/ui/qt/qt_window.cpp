#include "ui/qt/qt_window.h"

#include <QApplication>
#include <QSettings>
#include <clocale>

#include "app/program_folder.h"
#include "app/web_settings.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_translations.h"

namespace vortena {

int runWindow(int argc, char** argv, const WindowOptions& options) {
  QApplication application(argc, argv);
  // The settings file is named after these, whatever the executable's name:
  // ~/.config/vortena/vortena.conf.
  if (QCoreApplication::organizationName().isEmpty())
    QCoreApplication::setOrganizationName(QStringLiteral("vortena"));
  QCoreApplication::setApplicationName(QStringLiteral("vortena"));
  // Without Qt's translations the window still works, its buttons and dialog in English.
  if (!installItalianQtTexts(application))
    qWarning("vortena: Qt's Italian texts are missing (package qt6-translations-l10n)");
  // The application takes the user's locale for the C library. The program's text rules do
  // not use it; the numeric part is put back to C all the same, so that no number is ever
  // read or written in the user's way (in Italian, strtod reads "2.5" as 2).
  std::setlocale(LC_NUMERIC, "C");
  WindowsFileSystem fs(withProgramFolder(options.drives, options.programFolder));
  QtMainWindow window(fs, programFolderDriveForm(fs, options.programFolder));
  const QSettings settings;
  window.handlers().session().web = webSettings([&settings](const char* key) {
    return settings.value(QLatin1String(key)).toString().toStdString();
  });
  QApplication::setWindowIcon(window.windowIcon());
  window.show();
  // The program lives as long as its window: closing it ends the event loop.
  return QApplication::exec();
}

}  // namespace vortena
