// The head of an album page: the header template copied from the program folder with the two
// filter options of the window, then the link back to the index page.
#pragma once

#include "pagewriter/page_state.h"

namespace vortena {

// Copies INTESTAZ.HTM (INTEST_2.HTM when Check1 and Check2 are both ticked) line by line,
// dropping the lines that contain BACKGROUND while Check1 is ticked and those that contain
// MARQUEE while Check2 is ticked (any letter case; the boxes are read for every line). A
// missing template gives no header lines; every failure is ignored.
void Copia_Intestazione(PagePass& pass);

// Writes the line that leads back to the index page (INDEX.HTM / index.htm in the build's
// case), unless File_Pagina contains that name. A failed write goes to the write recovery.
Flow Scrivi_Ritorno(PagePass& pass);

}  // namespace vortena
