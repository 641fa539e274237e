#include "ui/headless/script_runner.h"

#include <istream>
#include <ostream>
#include <sstream>
#include <stdexcept>


namespace vortena {
namespace {

// A script line that cannot be read; its text follows "line N: " on the error stream.
struct ScriptError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

bool isBlankLine(const std::string& line) {
  return line.find_first_not_of(" \t") == std::string::npos;
}

// Splits "WORD REST": the first word, and everything after the one blank that follows it.
std::pair<std::string, std::string> splitWord(const std::string& text) {
  size_t blank = text.find(' ');
  if (blank == std::string::npos) return {text, {}};
  return {text.substr(0, blank), text.substr(blank + 1)};
}

bool parseInt(const std::string& text, long& value) {
  if (text.empty()) return false;
  size_t used = 0;
  try {
    value = std::stol(text, &used);
  } catch (const std::exception&) {
    return false;
  }
  return used == text.size();
}

void dump(std::ostream& out, const PlainForm& form, const JobState& job) {
  for (const auto& control : form.controls()) {
    out << "control " << control->name() << " " << (control->enabled() ? "enabled" : "disabled");
    if (auto* box = dynamic_cast<TextBox*>(control.get())) {
      out << " " << quoteText(box->text()) << "\n";
    } else if (auto* check = dynamic_cast<CheckBox*>(control.get())) {
      out << " " << check->value() << "\n";
    } else if (auto* option = dynamic_cast<OptionButton*>(control.get())) {
      out << " " << (option->selected() ? 1 : 0) << "\n";
    } else if (auto* list = dynamic_cast<ListBox*>(control.get())) {
      out << " " << list->count() << " " << list->selectedIndex() << "\n";
      for (int i = 0; i < list->count(); ++i) out << "item " << quoteText(list->item(i)) << "\n";
    } else {
      out << "\n";
    }
  }
  out << "field Dir_Album " << quoteText(job.outputFolder) << "\n";
  out << "field Nome_Pagina " << quoteText(job.pageName) << "\n";
  out << "field File_Pagina " << quoteText(job.pageFile) << "\n";
  out << "field Dir_Radice " << quoteText(job.rootFolder) << "\n";
  out << "field N_Files " << job.entryCount << "\n";
  out << "field Primo_File " << job.firstEntry << "\n";
  out << "field Ultimo_File " << job.lastEntry << "\n";
  out << "field N_Pag " << job.pageNumber << "\n";
  out << "field Elenco_Confermato " << (job.replaceConfirmed ? 1 : 0) << "\n";
}

class Runner {
 public:
  Runner(std::ostream& transcript, const RunnerOptions& options)
      : out_(transcript),
        user_(transcript, options.screenWidth),
        headless_(options, user_, user_, user_) {}

  // Runs one script line; false when the run is to stop (end, or the end button).
  bool run(const std::string& line) {
    auto [word, rest] = splitWord(line);
    if (word == "set") {
      auto [name, text] = splitWord(rest);
      control<TextBox>(name, "text box").setText(text);
    } else if (word == "check") {
      auto [name, value] = splitWord(rest);
      long v = 0;
      if (!parseInt(value, v) || v < 0 || v > 2) throw ScriptError("check value must be 0, 1 or 2");
      control<CheckBox>(name, "check box").setValue(static_cast<int>(v));
    } else if (word == "option") {
      control<OptionButton>(rest, "option button").select();
    } else if (word == "select") {
      auto [name, value] = splitWord(rest);
      auto& list = control<ListBox>(name, "list");
      long index = 0;
      if (!parseInt(value, index) || index < -1 || index >= list.count())
        throw ScriptError("no item " + value + " in " + name);
      list.setSelectedIndex(static_cast<int>(index));
    } else if (word == "click") {
      return click(rest);
    } else if (word == "answer") {
      if (rest != "yes" && rest != "no") throw ScriptError("answer must be yes or no");
      user_.queueAnswer(rest == "yes");
    } else if (word == "dialog") {
      user_.queueDialogResult(rest);
    } else if (word == "launch") {
      if (rest != "ok" && rest != "fail") throw ScriptError("launch must be ok or fail");
      user_.queueLaunchOutcome(rest == "ok");
    } else if (word == "dump") {
      if (!rest.empty()) throw ScriptError("dump takes nothing after it");
      dump(out_, headless_.controls(), headless_.window().session().job);
    } else if (word == "end") {
      return false;
    } else {
      throw ScriptError("unknown word \"" + word + "\"");
    }
    return true;
  }

 private:
  template <typename Kind>
  Kind& control(const std::string& name, const char* kind) {
    Control* found = headless_.controls().find(name);
    if (!found) throw ScriptError("unknown control \"" + name + "\"");
    auto* typed = dynamic_cast<Kind*>(found);
    if (!typed) throw ScriptError(name + " is not a " + kind);
    return *typed;
  }

  bool click(const std::string& name) {
    Control* found = headless_.controls().find(name);
    if (!found) throw ScriptError("unknown control \"" + name + "\"");
    if (!found->enabled()) {
      out_ << "disabled " << name << "\n";
      return true;
    }
    if (auto* check = dynamic_cast<CheckBox*>(found)) {
      check->setValue(check->value() == 1 ? 0 : 1);
    } else if (auto* option = dynamic_cast<OptionButton*>(found)) {
      option->select();
    } else {
      headless_.window().click(name);
    }
    return !user_.endRequested();
  }

  std::ostream& out_;
  ScriptedUser user_;
  HeadlessWindow headless_;
};

}  // namespace

int runScript(std::istream& script, std::ostream& transcript, std::ostream& errors,
              const RunnerOptions& options) {
  Runner runner(transcript, options);
  std::string line;
  long number = 0;
  while (std::getline(script, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (isBlankLine(line) || line[0] == '#') continue;
    try {
      if (!runner.run(line)) break;
    } catch (const ScriptError& e) {
      transcript.flush();
      errors << "line " << number << ": " << e.what() << "\n";
      return 2;
    }
  }
  transcript.flush();
  return 0;
}

}  // namespace vortena
