// The window's build commands: each reads the build's settings from the controls once, keeps
// those controls (and the build and view buttons) disabled while the build runs, and shows what
// the build left: the list of pages of a paged build, the question that offers the page.
#pragma once

#include "app/session.h"
#include "core/build_settings.h"

namespace vortena {

// The settings of a build as the window's controls give them now.
BuildSettings readBuildSettings(const Session& session);

// "Creazione INDEX.HTM" (Command1).
void buildSinglePageCommand(Session& session);
// "Creazione vari ALBUM.HTM secondo massimo numero files" (Command4).
void buildPagedAlbumCommand(Session& session);
// "Vedo risultato INDEX.HTM" (Command5): the last page built, when there is one.
void viewResultCommand(Session& session);

}  // namespace vortena
