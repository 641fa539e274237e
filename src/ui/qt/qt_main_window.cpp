#include "ui/qt/qt_main_window.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <cmath>
#include <limits>

#include "ui/qt/qt_controls.h"

// The icon lives in a static library: its resources must be pulled in by name.
static void initWindowResources() { Q_INIT_RESOURCE(vortena); }

namespace vortena {
namespace {

// The positions were laid out for a narrow sans-serif face: Arial's metrics (or its free
// twin's) keep the captions inside their controls, where a wide face would cut them off.
QFont sansSerif(double points, bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Helvetica"), QStringLiteral("Sans Serif")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QString caption(const ControlRow& spec) {
  return QString::fromUtf8(spec.caption.data(), static_cast<qsizetype>(spec.caption.size()));
}

QString controlName(const ControlRow& spec) {
  return QString::fromLatin1(spec.name.data(), static_cast<qsizetype>(spec.name.size()));
}

}  // namespace

int twipsToPixels(int twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

QRect twipsToPixels(const TwipRect& rect, double dpi) {
  return QRect(twipsToPixels(rect.left, dpi), twipsToPixels(rect.top, dpi),
               twipsToPixels(rect.width, dpi), twipsToPixels(rect.height, dpi));
}

QtMainWindow::QtMainWindow(WindowsFileSystem& fs, std::string programFolder,
                           ServiceOverrides overrides, QWidget* parent)
    : QWidget(parent),
      fs_(fs),
      folders_(fs, fs.drives()),
      files_(folders_),
      dpi_(96.0),
      ui_(this),
      dialog_(fs, this, {}, &folders_),
      launcher_(fs, QStringLiteral("xdg-open"), &folders_) {
  initWindowResources();
  if (QScreen* screen = QGuiApplication::primaryScreen()) dpi_ = screen->logicalDotsPerInch();

  setWindowTitle(QString::fromUtf8(kWindowCaption.data(), kWindowCaption.size()));
  QIcon icon;
  icon.addFile(QStringLiteral(":/vortena-32.png"), QSize(32, 32));
  icon.addFile(QStringLiteral(":/vortena-16.png"), QSize(16, 16));
  setWindowIcon(icon);
  setFont(sansSerif(8.25, false));
  setFixedSize(twipsToPixels(kClientWidthTwips, dpi_), twipsToPixels(kClientHeightTwips, dpi_));

  // The rectangle first, so that the check boxes and option buttons it frames lie above it.
  auto* shape = new QFrame(this);
  shape->setObjectName(controlName(kShape1));
  shape->setFrameStyle(QFrame::Box | QFrame::Plain);
  shape->setGeometry(twipsToPixels(kShape1.rect, dpi_));

  for (const ControlRow& spec : kLabels) makeWidget(spec);
  for (const ControlRow& spec : kStepNumbers) makeWidget(spec);

  auto* options = new QButtonGroup(this);
  options->setExclusive(true);
  QWidget* previous = nullptr;
  for (const ControlRow& spec : kFocusControls) {
    QWidget* widget = makeWidget(spec);
    if (auto* radio = qobject_cast<QRadioButton*>(widget)) options->addButton(radio);
    if (previous) setTabOrder(previous, widget);
    previous = widget;
    controls_.push_back(makeAdapter(spec, widget));
  }
  findChild<QRadioButton*>(QStringLiteral("Option2"))->setChecked(true);

  Services services;
  services.fs = &files_;
  services.folders = &folders_;
  services.ui = overrides.ui ? overrides.ui : &ui_;
  services.dialog = overrides.dialog ? overrides.dialog : &dialog_;
  services.launcher = overrides.launcher ? overrides.launcher : &launcher_;
  services.programFolder = std::move(programFolder);
  window_ = std::make_unique<MainWindow>(bindForm(controls_), std::move(services));

  for (QPushButton* button : findChildren<QPushButton*>()) {
    const std::string name = toBytes(button->objectName());
    connect(button, &QPushButton::clicked, this, [this, name] { window_->click(name); });
  }
  keepDriveForm(findChild<QLineEdit*>(QStringLiteral("txtPATH_RICERCA")));
  keepDriveForm(findChild<QLineEdit*>(QStringLiteral("txtNOME_FILE_HTM")));

  window_->load();
}

QtMainWindow::~QtMainWindow() = default;

void QtMainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  window_->session().services.ui->endProgram();
}

QWidget* QtMainWindow::makeWidget(const ControlRow& spec) {
  QWidget* widget = nullptr;
  switch (spec.kind) {
    case ControlKind::TextBox: {
      auto* edit = new QLineEdit(caption(spec), this);
      edit->setMaxLength(std::numeric_limits<int>::max());
      if (spec.yellow) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, QColor(255, 255, 128));
        edit->setPalette(palette);
      }
      widget = edit;
      break;
    }
    case ControlKind::ListBox: {
      auto* list = new QListWidget(this);
      list->setSelectionMode(QAbstractItemView::SingleSelection);
      list->setSortingEnabled(false);
      widget = list;
      break;
    }
    case ControlKind::Button:
      widget = new WrappingButton(caption(spec), this);
      widget->setFocusPolicy(Qt::StrongFocus);
      if (spec.bold) widget->setFont(sansSerif(8.25, true));
      break;
    // A narrow gap between box and caption, so that the captions fit the table's widths.
    case ControlKind::CheckBox:
      widget = new QCheckBox(caption(spec), this);
      widget->setStyleSheet(QStringLiteral("QCheckBox { spacing: 3px; }"));
      break;
    case ControlKind::OptionButton:
      widget = new QRadioButton(caption(spec), this);
      widget->setStyleSheet(QStringLiteral("QRadioButton { spacing: 3px; }"));
      break;
    case ControlKind::Label: {
      auto* label = new QLabel(caption(spec), this);
      if (spec.name == "Label3") {
        QFont arial(QStringLiteral("Arial"));
        arial.setStyleHint(QFont::SansSerif);
        arial.setPointSizeF(9);
        arial.setBold(true);
        label->setFont(arial);
      } else if (spec.name == "Label6") {
        label->setFont(sansSerif(13.5, true));
      }
      label->setFocusPolicy(Qt::NoFocus);
      widget = label;
      break;
    }
    case ControlKind::Shape:
      widget = new QFrame(this);
      break;
  }
  widget->setObjectName(controlName(spec));
  widget->setGeometry(twipsToPixels(spec.rect, dpi_));
  return widget;
}

std::unique_ptr<Control> QtMainWindow::makeAdapter(const ControlRow& spec, QWidget* widget) {
  std::string name(spec.name);
  switch (spec.kind) {
    case ControlKind::TextBox:
      return std::make_unique<QtTextBox>(name, static_cast<QLineEdit*>(widget));
    case ControlKind::ListBox:
      return std::make_unique<QtListBox>(name, static_cast<QListWidget*>(widget));
    case ControlKind::Button:
      return std::make_unique<QtButton>(name, static_cast<QPushButton*>(widget));
    case ControlKind::CheckBox:
      return std::make_unique<QtCheckBox>(name, static_cast<QCheckBox*>(widget));
    case ControlKind::OptionButton:
      return std::make_unique<QtOptionButton>(name, static_cast<QRadioButton*>(widget));
    case ControlKind::Label:
    case ControlKind::Shape:
      break;
  }
  return nullptr;
}

void QtMainWindow::keepDriveForm(QLineEdit* edit) {
  connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
    const std::string typed = toBytes(edit->text().trimmed());
    if (typed.empty() || (typed[0] != '/' && typed[0] != '~')) return;
    std::string drive = fs_.toDriveForm(typed);
    if (drive == typed) return;  // no drive covers it
    // A typed folder keeps its closing separator, as the search folder is written.
    if (typed.back() == '/' && drive.back() != '\\') drive += '\\';
    edit->setText(QString::fromUtf8(drive.data(), static_cast<qsizetype>(drive.size())));
  });
}

}  // namespace vortena
