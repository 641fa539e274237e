// Qt's own texts in the window's language. The program speaks Italian; the texts Qt draws itself
// (the standard buttons of the message boxes, the file dialog) come from Qt's translations.
#pragma once

class QCoreApplication;

namespace vortena {

// Installs Qt's Italian texts for `application` (Debian's qt6-translations-l10n, in Qt's
// translations folder), whatever the user's locale. False when they are not installed: Qt then
// draws its English texts.
bool installItalianQtTexts(QCoreApplication& application);

}  // namespace vortena
