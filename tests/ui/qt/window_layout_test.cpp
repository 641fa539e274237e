// The main window's widgets against the control table: kinds, captions, positions, colours,
// fonts, focus order and the state after the load handler.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "gui_support.h"
#include "support/test_names.h"

namespace vortena {

// A row of the control table is known by its control's name.
void PrintTo(const ControlRow& row, std::ostream* os) { *os << row.name; }

}  // namespace vortena

namespace vortena::testing {
namespace {

QString qstr(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Pixels of a twip rectangle at the window's dpi, computed here from the definition:
// 15 twips a pixel at 96 dots per inch.
QRect expectedGeometry(const TwipRect& r, double dpi) {
  const double scale = dpi / 96.0;
  auto px = [scale](int twips) { return qRound(twips / 15.0 * scale); };
  return QRect(px(r.left), px(r.top), px(r.width), px(r.height));
}

class FocusControlTest : public ::testing::TestWithParam<ControlRow> {
 protected:
  WindowFixture fixture;
};

TEST_P(FocusControlTest, WidgetMatchesItsTableRow) {
  const ControlRow& spec = GetParam();
  QWidget* widget = fixture.widget(std::string(spec.name).c_str());
  ASSERT_NE(widget, nullptr) << spec.name;
  EXPECT_EQ(widget->geometry(), expectedGeometry(spec.rect, fixture.window.dpi()));
  EXPECT_TRUE(widget->isVisibleTo(&fixture.window));
  EXPECT_NE(widget->focusPolicy() & Qt::TabFocus, 0);

  switch (spec.kind) {
    case ControlKind::TextBox: {
      auto* edit = qobject_cast<QLineEdit*>(widget);
      ASSERT_NE(edit, nullptr);
      // The two boxes the load handler fills are checked in InitialState below.
      if (spec.name != "txtMAX_N_FILES" && spec.name != "txtMAX_PER_RIGA") {
        EXPECT_EQ(edit->text(), qstr(spec.caption));
      }
      const QColor base = edit->palette().color(QPalette::Base);
      if (spec.yellow) {
        EXPECT_EQ(base, QColor(255, 255, 128));
      } else {
        EXPECT_NE(base, QColor(255, 255, 128));
      }
      break;
    }
    case ControlKind::ListBox: {
      auto* list = qobject_cast<QListWidget*>(widget);
      ASSERT_NE(list, nullptr);
      EXPECT_EQ(list->count(), 0);
      EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
      EXPECT_FALSE(list->isSortingEnabled());
      break;
    }
    case ControlKind::Button: {
      auto* button = qobject_cast<QPushButton*>(widget);
      ASSERT_NE(button, nullptr);
      EXPECT_EQ(button->text(), qstr(spec.caption));
      EXPECT_EQ(button->font().bold(), spec.bold);
      if (spec.bold) {
        EXPECT_DOUBLE_EQ(button->font().pointSizeF(), 8.25);
      }
      break;
    }
    case ControlKind::CheckBox: {
      auto* box = qobject_cast<QCheckBox*>(widget);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->text(), qstr(spec.caption));
      EXPECT_EQ(box->checkState(), Qt::Unchecked);
      break;
    }
    case ControlKind::OptionButton: {
      auto* radio = qobject_cast<QRadioButton*>(widget);
      ASSERT_NE(radio, nullptr);
      EXPECT_EQ(radio->text(), qstr(spec.caption));
      break;
    }
    default:
      FAIL() << "not a focus control: " << spec.name;
  }
}

INSTANTIATE_TEST_SUITE_P(ControlTable, FocusControlTest, ::testing::ValuesIn(kFocusControls),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MainWindowLayout, LabelsAndStepNumbersStandWhereTheTableSays) {
  WindowFixture fixture;
  for (const ControlRow& spec : kLabels) {
    auto* label = fixture.widget<QLabel>(std::string(spec.name).c_str());
    ASSERT_NE(label, nullptr) << spec.name;
    EXPECT_EQ(label->text(), qstr(spec.caption)) << spec.name;
    EXPECT_EQ(label->geometry(), expectedGeometry(spec.rect, fixture.window.dpi())) << spec.name;
    EXPECT_EQ(label->focusPolicy(), Qt::NoFocus) << spec.name;
  }
  auto* label3 = fixture.widget<QLabel>("Label3");
  EXPECT_EQ(label3->font().family(), "Arial");
  EXPECT_DOUBLE_EQ(label3->font().pointSizeF(), 9);
  EXPECT_TRUE(label3->font().bold());
  EXPECT_FALSE(fixture.widget<QLabel>("Label1")->font().bold());

  const QList<QLabel*> steps = fixture.window.findChildren<QLabel*>(QStringLiteral("Label6"));
  ASSERT_EQ(steps.size(), static_cast<qsizetype>(kStepNumbers.size()));
  for (size_t i = 0; i < kStepNumbers.size(); ++i) {
    QLabel* step = steps[static_cast<qsizetype>(i)];
    EXPECT_EQ(step->text(), qstr(kStepNumbers[i].caption));
    EXPECT_EQ(step->geometry(), expectedGeometry(kStepNumbers[i].rect, fixture.window.dpi()));
    EXPECT_TRUE(step->font().bold());
    EXPECT_DOUBLE_EQ(step->font().pointSizeF(), 13.5);
  }
}

TEST(MainWindowLayout, RectangleFramesTheOptionsBehindThem) {
  WindowFixture fixture;
  auto* shape = fixture.widget<QFrame>("Shape1");
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(shape->frameShape(), QFrame::Box);
  EXPECT_EQ(shape->geometry(), expectedGeometry(kShape1.rect, fixture.window.dpi()));
  EXPECT_EQ(shape->focusPolicy(), Qt::NoFocus);
  // The framed controls lie inside it and above it, so they take the clicks.
  for (const char* name : {"Check1", "Check2", "Option1", "Option2"}) {
    QWidget* framed = fixture.widget(name);
    EXPECT_TRUE(shape->geometry().contains(framed->geometry())) << name;
    EXPECT_EQ(fixture.window.childAt(framed->geometry().center()), framed) << name;
  }
}

TEST(MainWindowLayout, WindowHasItsCaptionClientSizeAndIcon) {
  WindowFixture fixture;
  EXPECT_EQ(fixture.window.windowTitle(),
            "Creazione Menu Immagini .HTML con dissolvenza per Siti Internet");
  const QRect client = expectedGeometry({0, 0, 9285, 7095}, fixture.window.dpi());
  EXPECT_EQ(fixture.window.size(), client.size());
  if (fixture.window.dpi() == 96) {
    EXPECT_EQ(fixture.window.size(), QSize(619, 473));
  }
  const QList<QSize> sizes = fixture.window.windowIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(32, 32)));
  EXPECT_TRUE(sizes.contains(QSize(16, 16)));
}

TEST(MainWindowLayout, TabGoesThroughTheControlsInTableOrder) {
  WindowFixture fixture;
  QWidget* first = fixture.widget("txtPATH_RICERCA");
  std::vector<std::string> order;
  QWidget* w = first;
  do {
    if ((w->focusPolicy() & Qt::TabFocus) && w->window() == &fixture.window && w != &fixture.window)
      order.push_back(w->objectName().toStdString());
    w = w->nextInFocusChain();
  } while (w != first && order.size() < 100);
  std::vector<std::string> expected;
  for (const ControlRow& spec : kFocusControls) expected.emplace_back(spec.name);
  // Widgets inside the list (its viewport) are not controls of their own.
  order.erase(std::remove(order.begin(), order.end(), std::string()), order.end());
  EXPECT_EQ(order, expected);
}

struct ScreenCase {
  int width;
  const char* perRow;
};

void PrintTo(const ScreenCase& s, std::ostream* os) { *os << s.width; }

class InitialStateTest : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(InitialStateTest, LoadHandlerSetsBoxesAndDisablesTheBuildButtons) {
  WindowFixture fixture(GetParam().width);
  EXPECT_EQ(fixture.widget<QLineEdit>("txtMAX_PER_RIGA")->text(), GetParam().perRow);
  EXPECT_EQ(fixture.widget<QLineEdit>("txtMAX_N_FILES")->text(), "9");
  for (const ControlRow& spec : kFocusControls) {
    const bool disabled =
        spec.name == "Command1" || spec.name == "Command4" || spec.name == "Command5";
    EXPECT_EQ(fixture.widget(std::string(spec.name).c_str())->isEnabled(), !disabled) << spec.name;
  }
  EXPECT_TRUE(fixture.widget<QRadioButton>("Option2")->isChecked());
  EXPECT_FALSE(fixture.widget<QRadioButton>("Option1")->isChecked());
  EXPECT_FALSE(fixture.window.isVisible());  // the load handler runs before the window shows
}

INSTANTIATE_TEST_SUITE_P(ScreenWidths, InitialStateTest,
                         ::testing::Values(ScreenCase{1024, "5"}, ScreenCase{800, "5"},
                                           ScreenCase{799, "4"}, ScreenCase{640, "4"}),
                         ReadableName());

}  // namespace
}  // namespace vortena::testing
