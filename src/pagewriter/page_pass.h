// The page writer: one call of writeAlbumPage writes one album page and everything that hangs
// from it (header, grid of button cells, entry folders with their copies and slideshow pages,
// footer), from the page's job fields and the build's settings.
#pragma once

#include "core/build_settings.h"
#include "pagewriter/page_types.h"

namespace vortena {

// One page pass, of the entries of `settings` in the job's range. Reads the range, the root
// folder and the folder numbering; may set replaceConfirmed and, through the write recovery,
// the output folder and the page file; sets folders.nextFolder. Always returns; reports its
// failures itself.
[[nodiscard]] PageOutcome writeAlbumPage(PageJob& job, const BuildSettings& settings,
                                         const PassServices& services);

}  // namespace vortena
