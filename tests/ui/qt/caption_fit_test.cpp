// Every caption of the window fits its control in the font the window uses: a caption wider
// (or, wrapped on a button, taller) than the room its control gives it is shown cut.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>

#include "gui_support.h"

namespace vortena::testing {
namespace {

// Room for the caption inside the control, and the room the caption takes there.
struct Fit {
  QRect room;
  QRect needed;
};

Fit fitOf(QWidget* widget) {
  const QFontMetrics metrics = widget->fontMetrics();
  if (auto* label = qobject_cast<QLabel*>(widget))
    return {label->contentsRect(), metrics.boundingRect(label->text())};
  if (auto* button = qobject_cast<QPushButton*>(widget)) {
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect room =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    // The caption is drawn wrapped at word boundaries, centred.
    return {room, metrics.boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, button->text())};
  }
  auto* box = qobject_cast<QAbstractButton*>(widget);
  QStyleOptionButton option;
  option.initFrom(box);
  option.text = box->text();
  const bool radio = qobject_cast<QRadioButton*>(box) != nullptr;
  const QRect room = box->style()->subElementRect(
      radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &option, box);
  return {room, metrics.boundingRect(box->text())};
}

TEST(CaptionFit, EveryCaptionFitsItsControl) {
  WindowFixture fixture;
  int measured = 0;
  for (QWidget* widget : fixture.window.findChildren<QWidget*>()) {
    if (!qobject_cast<QLabel*>(widget) && !qobject_cast<QAbstractButton*>(widget)) continue;
    const Fit fit = fitOf(widget);
    ++measured;
    EXPECT_LE(fit.needed.width(), fit.room.width())
        << widget->objectName().toStdString() << " is cut at the side";
    EXPECT_LE(fit.needed.height(), fit.room.height())
        << widget->objectName().toStdString() << " is cut at the bottom";
  }
  // The 7 labels, 5 step numbers, 10 buttons, 2 check boxes and 2 option buttons.
  EXPECT_EQ(measured, 26);
}

}  // namespace
}  // namespace vortena::testing
