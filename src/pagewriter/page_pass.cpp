// TEMPORARY STUB: replaced by the real page writer.
#include "pagewriter/page_pass.h"
namespace vortena {
void Crea_Pagina(Album&) {}
}  // namespace vortena
