// TEMPORARY STUB: replaced by the real window.
#include "platform/qt/qt_window.h"
namespace vortena {
int runWindow(int, char**, const WindowOptions&) { return 0; }
}  // namespace vortena
