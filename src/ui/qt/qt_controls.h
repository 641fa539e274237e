// The control interfaces of the handlers over Qt widgets. Each adapter holds a widget owned by
// the window and converts between the program's byte strings (UTF-8) and QString.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <string>

#include "app/controls.h"

namespace vortena {

std::string toBytes(const QString& text);
QString fromBytes(const std::string& text);

// A push button whose caption wraps onto several lines, as the window's long captions need;
// text() stays the whole caption.
class WrappingButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

class QtTextBox : public TextBox {
 public:
  QtTextBox(std::string name, QLineEdit* edit) : TextBox(std::move(name)), edit_(edit) {}
  bool enabled() const override { return edit_->isEnabled(); }
  void setEnabled(bool enabled) override { edit_->setEnabled(enabled); }
  std::string text() const override { return toBytes(edit_->text()); }
  void setText(const std::string& text) override { edit_->setText(fromBytes(text)); }

 private:
  QLineEdit* edit_;
};

class QtListBox : public ListBox {
 public:
  QtListBox(std::string name, QListWidget* list) : ListBox(std::move(name)), list_(list) {}
  bool enabled() const override { return list_->isEnabled(); }
  void setEnabled(bool enabled) override { list_->setEnabled(enabled); }
  int count() const override { return list_->count(); }
  std::string item(int index) const override;
  void addItem(std::string text) override { list_->addItem(fromBytes(text)); }
  void removeItem(int index) override;
  void clear() override { list_->clear(); }
  int selectedIndex() const override;
  void setSelectedIndex(int index) override;

 private:
  QListWidget* list_;
};

class QtButton : public Button {
 public:
  QtButton(std::string name, QPushButton* button) : Button(std::move(name)), button_(button) {}
  bool enabled() const override { return button_->isEnabled(); }
  void setEnabled(bool enabled) override { button_->setEnabled(enabled); }

 private:
  QPushButton* button_;
};

// Value 0 unchecked, 1 checked, 2 greyed.
class QtCheckBox : public CheckBox {
 public:
  QtCheckBox(std::string name, QCheckBox* box) : CheckBox(std::move(name)), box_(box) {}
  bool enabled() const override { return box_->isEnabled(); }
  void setEnabled(bool enabled) override { box_->setEnabled(enabled); }
  int value() const override;
  void setValue(int value) override;

 private:
  QCheckBox* box_;
};

// The radio buttons share one exclusive group, so checking one unchecks the other.
class QtOptionButton : public OptionButton {
 public:
  QtOptionButton(std::string name, QRadioButton* button)
      : OptionButton(std::move(name)), button_(button) {}
  bool enabled() const override { return button_->isEnabled(); }
  void setEnabled(bool enabled) override { button_->setEnabled(enabled); }
  bool selected() const override { return button_->isChecked(); }
  void select() override { button_->setChecked(true); }

 private:
  QRadioButton* button_;
};

}  // namespace vortena
