// The command-line forms' options and help, shared by the window and --script forms and by the
// two commands: what every form takes (--drive, --program-dir, --help, --version), the help
// text of each form, and the answer to a command line that cannot be run.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <optional>
#include <ostream>
#include <string>

#include "ui/headless/headless_window.h"

namespace vortena {

std::string bytes(const QString& text);

// The forms and what their help says; the options are the parser's own.
struct FormText {
  const char* usage;  // after "Usage: "
  const char* about;  // what the form does, and its arguments
  const char* exit = nullptr;  // its exit statuses, when not those of the window and build
};
extern const FormText kWindowText, kBuildText, kScanText, kCheckText;

// A command line that cannot be run: the problem, the usage line and where to read more. The
// exit status 2.
int badCommandLine(std::ostream& err, const FormText& text, const std::string& command,
                   const std::string& problem);

// Gives `parser` the form's own options and those every form takes, parses `args` and answers
// --help and --version. The exit status when the program is to end at once; nothing when the
// command is to run with `options` changed by the common options.
std::optional<int> parseCommon(QCommandLineParser& parser, QList<QCommandLineOption> own,
                               const QStringList& args, const FormText& text,
                               const std::string& command, std::ostream& out, std::ostream& err,
                               RunnerOptions& options);

}  // namespace vortena
