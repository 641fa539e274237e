#include "ui/qt/qt_controls.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace vortena {

std::string toBytes(const QString& text) {
  QByteArray bytes = text.toUtf8();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString fromBytes(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void WrappingButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();  // the frame only; the caption is drawn wrapped below
  painter.drawControl(QStyle::CE_PushButton, option);
  QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text());
}

std::string QtListBox::item(int index) const {
  QListWidgetItem* item = list_->item(index);
  return item ? toBytes(item->text()) : std::string();
}

void QtListBox::removeItem(int index) {
  if (index < 0 || index >= list_->count()) return;
  const bool wasSelected = selectedIndex() == index;
  delete list_->takeItem(index);
  // The selection goes with the removed item; the view would otherwise move it to a neighbour.
  if (wasSelected) setSelectedIndex(-1);
}

int QtListBox::selectedIndex() const {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? -1 : list_->row(selected.first());
}

void QtListBox::setSelectedIndex(int index) {
  if (index < 0 || index >= list_->count()) {
    list_->clearSelection();
    list_->setCurrentRow(-1);
    return;
  }
  list_->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

int QtCheckBox::value() const {
  switch (box_->checkState()) {
    case Qt::Checked:
      return 1;
    case Qt::PartiallyChecked:
      return 2;
    default:
      return 0;
  }
}

void QtCheckBox::setValue(int value) {
  // Only the greyed state needs the third state; a user's click then cycles through the two.
  box_->setTristate(value == 2);
  box_->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

}  // namespace vortena
