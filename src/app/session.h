// What the main window's commands share for the whole run: the window's controls, the
// services, the job state the builds leave behind, and the web mode of the builds.
#pragma once

#include "app/form.h"
#include "app/services.h"
#include "core/job_state.h"
#include "core/web_options.h"

namespace vortena {

struct Session {
  Form form;
  Services services;
  JobState job;
  WebOptions web;  // the web pictures of the builds; off unless the user asks for them
};

}  // namespace vortena
