#include "app/build_commands.h"

#include "album/builds.h"
#include "app/list_commands.h"
#include "core/text.h"

namespace vortena {
namespace {

BuildServices buildServices(const Session& session) {
  const Services& s = session.services;
  return {*s.fs, *s.folders, *s.ui, *s.launcher, s.programFolder};
}

// Runs one build on the window: the build and view buttons stay disabled while it runs, so
// that a click made while the page writer lets the window process its events cannot start a
// second build in the middle of the first, and so do the controls it read its settings from;
// each gets back the state it had before the build offers its page.
void runBuild(Session& session, BuildResult (*build)(const BuildSettings&, const BuildServices&,
                                                    JobState&)) {
  Form& form = session.form;
  const BuildSettings settings = readBuildSettings(session);
  ControlsLock lock({form.buildPageButton, form.buildPagedButton, form.viewButton,
                     form.pagePathBox, form.entriesPerFolderBox, form.imagesPerRowBox,
                     form.foundCountBox, form.noBackgroundCheck, form.noTitleCheck,
                     form.upperCaseOption, form.lowerCaseOption, form.mediaListBox});
  const BuildServices services = buildServices(session);
  const BuildResult result = build(settings, services, session.job);
  if (result.listNow) {
    form.mediaListBox->clear();
    for (size_t i = 0; i < result.listNow->size(); ++i)
      form.mediaListBox->addItem(std::string((*result.listNow)[i]));
  }
  lock.release();
  if (!result.view) return;
  offerView(*result.view, services);
  form.viewButton->setEnabled(true);
}

}  // namespace

BuildSettings readBuildSettings(const Session& session) {
  const Form& form = session.form;
  BuildSettings settings;
  settings.pagePath = form.pagePathBox->text();
  settings.upperCase = form.upperCaseOption->selected();
  settings.entriesPerFolder = numericValue(form.entriesPerFolderBox->text());
  settings.imagesPerRow = numericValue(form.imagesPerRowBox->text());
  // A check box counts as ticked only with the value 1; greyed (2) is off.
  settings.leaveOutBackground = form.noBackgroundCheck->value() == 1;
  settings.leaveOutTitle = form.noTitleCheck->value() == 1;
  settings.web = session.web;
  const ListBox& list = *form.mediaListBox;
  for (int i = 0; i < list.count(); ++i) settings.entries.add(list.item(i));
  settings.shownCount = numericValue(form.foundCountBox->text());
  return settings;
}

void buildSinglePageCommand(Session& session) { runBuild(session, buildSinglePage); }

void buildPagedAlbumCommand(Session& session) { runBuild(session, buildPagedAlbum); }

void viewResultCommand(Session& session) { viewLastPage(buildServices(session), session.job); }

}  // namespace vortena
