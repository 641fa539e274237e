#include "ui/headless/headless.h"

#include <cstdio>

#include "app/control_table.h"

namespace vortena {

int PlainListBox::count() const { return static_cast<int>(ends_.size()); }

std::deque<char>::const_iterator PlainListBox::textAt(size_t offset) const {
  return text_.begin() + static_cast<std::ptrdiff_t>(offset);
}

size_t PlainListBox::beginOf(size_t i) const { return i == 0 ? 0 : ends_[i - 1]; }

std::string PlainListBox::item(int index) const {
  if (index < 0 || index >= count()) return {};
  const auto i = static_cast<size_t>(index);
  return std::string(textAt(beginOf(i)), textAt(ends_[i]));
}

void PlainListBox::addItem(std::string text) {
  text_.insert(text_.end(), text.begin(), text.end());
  ends_.push_back(text_.size());
}

void PlainListBox::removeItem(int index) {
  if (index < 0 || index >= count()) return;
  const auto i = static_cast<size_t>(index);
  const size_t begin = beginOf(i), size = ends_[i] - begin;
  text_.erase(textAt(begin), textAt(ends_[i]));
  ends_.erase(ends_.begin() + index);
  for (size_t k = i; k < ends_.size(); ++k) ends_[k] -= size;
  // As a list box does: the selection goes with the removed item.
  if (selected_ == index)
    selected_ = -1;
  else if (selected_ > index)
    --selected_;
}

void PlainListBox::clear() {
  text_.clear();
  ends_.clear();
  selected_ = -1;
}

void PlainOptionButton::select() {
  selected_ = true;
  if (partner_) partner_->selected_ = false;
}

PlainForm::PlainForm() {
  for (const ControlRow& spec : kFocusControls) {
    std::string name(spec.name);
    switch (spec.kind) {
      case ControlKind::TextBox: {
        auto box = std::make_unique<PlainTextBox>(name);
        box->setText(std::string(spec.caption));
        controls_.push_back(std::move(box));
        break;
      }
      case ControlKind::ListBox:
        controls_.push_back(std::make_unique<PlainListBox>(name));
        break;
      case ControlKind::Button:
        controls_.push_back(std::make_unique<PlainButton>(name));
        break;
      case ControlKind::CheckBox:
        controls_.push_back(std::make_unique<PlainCheckBox>(name));
        break;
      case ControlKind::OptionButton:
        controls_.push_back(std::make_unique<PlainOptionButton>(name));
        break;
      case ControlKind::Label:
      case ControlKind::Shape:
        break;
    }
  }
  form_ = bindForm(controls_);
  auto* option1 = dynamic_cast<PlainOptionButton*>(find("Option1"));
  auto* option2 = dynamic_cast<PlainOptionButton*>(find("Option2"));
  option1->setPartner(option2);
  option2->setPartner(option1);
  option2->select();
}

Control* PlainForm::find(std::string_view name) const {
  for (const auto& control : controls_)
    if (control->name() == name) return control.get();
  return nullptr;
}

std::string quoteText(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 32 || c == 127) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          out += hex;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

void ScriptedUser::beep() { out_ << "beep\n"; }

void ScriptedUser::message(const std::string& text) {
  out_ << "message " << quoteText(text) << "\n";
}

bool ScriptedUser::question(const std::string& text) {
  bool yes = false;  // a question with nothing queued is answered no
  if (!answers_.empty()) {
    yes = answers_.front();
    answers_.pop_front();
  }
  out_ << "question " << quoteText(text) << " -> " << (yes ? "yes" : "no") << "\n";
  return yes;
}

void ScriptedUser::setPointer(Pointer pointer) {
  out_ << "pointer " << (pointer == Pointer::Hourglass ? "hourglass" : "default") << "\n";
}

void ScriptedUser::endProgram() {
  out_ << "end\n";
  endRequested_ = true;
}

std::string ScriptedUser::choose(const std::string& title, const std::string& startFolder,
                                 const std::string&) {
  std::string result;  // nothing queued: cancel
  if (!dialogResults_.empty()) {
    result = dialogResults_.front();
    dialogResults_.pop_front();
  }
  out_ << "dialog " << quoteText(title) << " " << quoteText(startFolder) << " -> "
       << quoteText(result) << "\n";
  return result;
}

bool ScriptedUser::open(const PageLaunch& launch) {
  bool ok = true;  // nothing queued: the launch succeeds
  if (!launchOutcomes_.empty()) {
    ok = launchOutcomes_.front();
    launchOutcomes_.pop_front();
  }
  out_ << "launch " << quoteText(launch.commandLine) << " -> " << (ok ? "ok" : "failed") << "\n";
  return ok;
}

}  // namespace vortena
