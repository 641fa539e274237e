// The head of an album page: the header template copied from the program folder with the two
// filter options of the window, then the link back to the index page.
#pragma once

#include "pagewriter/page_file.h"
#include "pagewriter/page_types.h"
#include "pagewriter/write_recovery.h"

namespace vortena {

// Copies INTESTAZ.HTM (INTEST_2.HTM when both the background and the title are left out) line
// by line, dropping the lines that contain BACKGROUND when the background is left out and
// those that contain MARQUEE when the title is (any letter case). A missing template gives no
// header lines; every failure is ignored.
void copyHeader(const PassContext& pass, PageFile& page);

// Writes the line that leads back to the index page (INDEX.HTM / index.htm in the build's
// case), unless the page file contains that name. A failed write goes to the write recovery.
Flow writeBackLink(PassContext& pass, PageFile& page, WriteRecovery& recovery);

}  // namespace vortena
