// The window's controls as the handlers see them. The Qt window implements them with widgets,
// the headless script runner and the tests with plain data (ui/headless/), so the same
// handlers run in both.
#pragma once

#include <string>

namespace vortena {

class Control {
 public:
  explicit Control(std::string name) : name_(std::move(name)) {}
  virtual ~Control() = default;
  const std::string& name() const { return name_; }
  virtual bool enabled() const = 0;
  virtual void setEnabled(bool enabled) = 0;

 private:
  std::string name_;
};

class TextBox : public Control {
 public:
  using Control::Control;
  virtual std::string text() const = 0;
  virtual void setText(const std::string& text) = 0;
};

// Unsorted single-selection list; indexes are 0-based, -1 means no selection.
class ListBox : public Control {
 public:
  using Control::Control;
  virtual int count() const = 0;
  // Item i; empty when i is out of range.
  virtual std::string item(int index) const = 0;
  virtual void addItem(std::string text) = 0;
  virtual void removeItem(int index) = 0;  // no effect when out of range
  virtual void clear() = 0;
  virtual int selectedIndex() const = 0;
  virtual void setSelectedIndex(int index) = 0;
};

class Button : public Control {
 public:
  using Control::Control;
};

// Value 0 unchecked, 1 checked, 2 greyed.
class CheckBox : public Control {
 public:
  using Control::Control;
  virtual int value() const = 0;
  virtual void setValue(int value) = 0;
};

// One of a group of two; selecting one deselects the other.
class OptionButton : public Control {
 public:
  using Control::Control;
  virtual bool selected() const = 0;
  virtual void select() = 0;
};

}  // namespace vortena
