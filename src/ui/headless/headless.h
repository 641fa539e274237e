// Plain-data controls and scripted services: the window without a display, used by the script
// runner and by the tests. Every event a user would see is written to a transcript.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/form.h"
#include "app/services.h"
#include "core/services.h"

namespace vortena {

class PlainTextBox : public TextBox {
 public:
  using TextBox::TextBox;
  bool enabled() const override { return enabled_; }
  void setEnabled(bool e) override { enabled_ = e; }
  std::string text() const override { return text_; }
  void setText(const std::string& t) override { text_ = t; }

 private:
  bool enabled_ = true;
  std::string text_;
};

class PlainListBox : public ListBox {
 public:
  using ListBox::ListBox;
  bool enabled() const override { return enabled_; }
  void setEnabled(bool e) override { enabled_ = e; }
  int count() const override;
  std::string item(int index) const override;
  void addItem(std::string text) override;
  void removeItem(int index) override;
  void clear() override;
  int selectedIndex() const override { return selected_; }
  void setSelectedIndex(int index) override { selected_ = index; }

 private:
  bool enabled_ = true;
  // The items' texts one after the other, and where each ends: a list of 100,000 paths costs
  // their bytes and one number each, and grows without moving what it holds. A string a path
  // would cost three times its bytes, and a program that lists a big tree touches fresh memory
  // for every one of them.
  std::deque<char> text_;
  std::deque<std::size_t> ends_;
  int selected_ = -1;
  std::deque<char>::const_iterator textAt(std::size_t offset) const;
  std::size_t beginOf(std::size_t i) const;  // where item i begins in text_
};

class PlainButton : public Button {
 public:
  using Button::Button;
  bool enabled() const override { return enabled_; }
  void setEnabled(bool e) override { enabled_ = e; }

 private:
  bool enabled_ = true;
};

class PlainCheckBox : public CheckBox {
 public:
  using CheckBox::CheckBox;
  bool enabled() const override { return enabled_; }
  void setEnabled(bool e) override { enabled_ = e; }
  int value() const override { return value_; }
  void setValue(int v) override { value_ = v; }

 private:
  bool enabled_ = true;
  int value_ = 0;
};

class PlainOptionButton : public OptionButton {
 public:
  using OptionButton::OptionButton;
  bool enabled() const override { return enabled_; }
  void setEnabled(bool e) override { enabled_ = e; }
  bool selected() const override { return selected_; }
  void select() override;
  // The other button of the group, deselected when this one is selected.
  void setPartner(PlainOptionButton* partner) { partner_ = partner; }

 private:
  bool enabled_ = true;
  bool selected_ = false;
  PlainOptionButton* partner_ = nullptr;
};

// The 21 controls of the main window as plain data, with their initial texts and captions.
class PlainForm {
 public:
  PlainForm();
  const Form& form() const { return form_; }
  // The control of that name, or nullptr.
  Control* find(std::string_view name) const;
  // All controls in focus order.
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

 private:
  std::vector<std::unique_ptr<Control>> controls_;
  Form form_;
};

// Writes TEXT as the transcript quotes it: between double quotes, with \\ \" \r \n \t and \xHH
// for other bytes below 32 and 127.
std::string quoteText(const std::string& text);

// The user of the headless window: answers come from queues filled by the script, every event
// is written to the transcript.
class ScriptedUser : public Ui, public FileDialog, public Launcher {
 public:
  ScriptedUser(std::ostream& transcript, int screenWidth)
      : out_(transcript), screenWidth_(screenWidth) {}

  void queueAnswer(bool yes) { answers_.push_back(yes); }
  void queueDialogResult(std::string result) { dialogResults_.push_back(std::move(result)); }
  void queueLaunchOutcome(bool ok) { launchOutcomes_.push_back(ok); }
  bool endRequested() const { return endRequested_; }

  void beep() override;
  void message(const std::string& text) override;
  bool question(const std::string& text) override;
  void setPointer(Pointer pointer) override;
  void processEvents() override {}
  int screenWidth() const override { return screenWidth_; }
  void endProgram() override;

  std::string choose(const std::string& title, const std::string& startFolder,
                     const std::string& pattern) override;
  // Writes the launch's command line and the queued outcome.
  bool open(const PageLaunch& launch) override;

 private:
  std::ostream& out_;
  int screenWidth_;
  std::deque<bool> answers_;
  std::deque<std::string> dialogResults_;  // empty text: cancel
  std::deque<bool> launchOutcomes_;
  bool endRequested_ = false;
};

}  // namespace vortena
