// The fixed frame of one button of the grid: an outer one-row table whose cell shows
// PULSANTE.JPG at 130 by 30 pixels, and an inner one-row table that centres the link.
#pragma once

#include "pagewriter/page_file.h"
#include "pagewriter/page_types.h"

namespace vortena {

// Writes the seven opening lines of a button cell; the first opens the grid column, which the
// grid closes with "</table></td>" after closeButtonCell. Write failures are ignored.
void openButtonCell(const PassContext& pass, PageFile& page);

// Writes the five closing lines of a button cell, leaving the outer table and the grid column
// open. Write failures are ignored.
void closeButtonCell(PageFile& page);

}  // namespace vortena
