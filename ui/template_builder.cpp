#include "template_builder.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFontMetricsF>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>

#include "file_list_view.h"
#include "static_text.h"
#include "translation.h"

namespace quillmere {
namespace {

constexpr int kIconPixels = 32;

bool Has(std::uint32_t styles, std::uint32_t flag) {
  return (styles & flag) != 0;
}

QWidget* CreateStatic(const ControlTemplate& control, const QString& caption, QWidget* parent) {
  auto* text = new StaticText(parent);
  text->setText(caption);
  text->setTextAlignment(Has(control.styles, style::kTextRight) ? Qt::AlignRight : Qt::AlignLeft);
  text->setWordWrap(Has(control.styles, style::kWordWrap));
  text->setNotify(Has(control.styles, style::kNotify));
  if (Has(control.styles, style::kStaticEdge)) {
    text->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    text->setTextMargin(2);
  }
  return text;
}

QWidget* CreateControl(const ControlTemplate& control, const QIcon& icon, QWidget* parent) {
  const QString caption = Tr(control.caption);
  switch (control.kind) {
    case ControlKind::kListView:
      return new FileListView(parent);
    case ControlKind::kPushButton: {
      auto* button = new QPushButton(caption, parent);
      button->setAutoDefault(true);
      button->setDefault(Has(control.styles, style::kDefaultButton));
      return button;
    }
    case ControlKind::kEdit: {
      auto* edit = new QLineEdit(caption, parent);
      // Files dropped on an edit field go to the window, as everywhere else.
      edit->setAcceptDrops(false);
      return edit;
    }
    case ControlKind::kStatic:
      return CreateStatic(control, caption, parent);
    case ControlKind::kCheckBox:
      return new QCheckBox(caption, parent);
    case ControlKind::kProgressBar: {
      auto* bar = new QProgressBar(parent);
      bar->setRange(0, 100);
      bar->setValue(0);
      bar->setTextVisible(false);
      return bar;
    }
    case ControlKind::kIcon: {
      auto* label = new QLabel(parent);
      label->setPixmap(icon.pixmap(kIconPixels, kIconPixels));
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
  }
  return new QWidget(parent);
}

int Metric(const QWidget& widget, QStyle::PixelMetric metric) {
  return widget.style()->pixelMetric(metric, nullptr, &widget);
}

// The pixels a control's caption or content needs.
ControlNeed MeasureNeed(const ControlTemplate& control, QWidget& widget) {
  ControlNeed need{control.width, control.height, 0, 0};
  const QFontMetricsF metrics(widget.font());
  const QString caption = Tr(control.caption);
  const double textWidth = metrics.horizontalAdvance(caption);
  const int frame = Metric(widget, QStyle::PM_DefaultFrameWidth);
  switch (control.kind) {
    case ControlKind::kCheckBox:
      need.widthPixels = widget.sizeHint().width();
      need.heightPixels =
          std::max<double>(Metric(widget, QStyle::PM_IndicatorHeight), metrics.height());
      break;
    case ControlKind::kPushButton:
      need.widthPixels = textWidth + 2 * (Metric(widget, QStyle::PM_ButtonMargin) + frame);
      need.heightPixels = metrics.height() + 2 * frame + 2;
      break;
    case ControlKind::kEdit:
      need.heightPixels = metrics.height() + 2 * (frame + 1);
      break;
    case ControlKind::kStatic: {
      const auto& text = static_cast<const StaticText&>(widget);
      const int edges = 2 * text.frameWidth();
      need.widthPixels = textWidth + edges + 2 * text.textMargin();
      need.heightPixels = metrics.height() + edges;
      break;
    }
    case ControlKind::kIcon:
      need.widthPixels = kIconPixels;
      need.heightPixels = kIconPixels;
      break;
    case ControlKind::kListView:
    case ControlKind::kProgressBar:
      break;
  }
  return need;
}

void ApplyWindowStyles(QDialog& dialog, const DialogTemplate& dialogTemplate) {
  const std::uint32_t styles = dialogTemplate.styles;
  // A window with its own taskbar button is a top-level window, not a
  // transient dialog, so the window manager lets it be minimised.
  Qt::WindowFlags flags = Has(styles, style::kAppWindow) ? Qt::Window : Qt::Dialog;
  flags |= Qt::CustomizeWindowHint;
  if (Has(styles, style::kCaption)) flags |= Qt::WindowTitleHint;
  if (Has(styles, style::kSystemMenu)) {
    flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  }
  if (Has(styles, style::kMinimizeBox)) flags |= Qt::WindowMinimizeButtonHint;
  dialog.setWindowFlags(flags);
  dialog.setWindowTitle(Tr(dialogTemplate.caption));
  dialog.setAcceptDrops(Has(styles, style::kAcceptFiles));
  dialog.setSizeGripEnabled(false);
}

QRect PlaceControl(const ControlTemplate& control, QWidget& widget, const BaseUnits& units) {
  QRect rect = DialogUnitsToPixels(units, control.x, control.y, control.width, control.height);
  if (control.kind == ControlKind::kCheckBox && Has(control.styles, style::kTextRight)) {
    // Caption against the right edge: the box takes only the room its
    // indicator and caption need, so the caption ends where the control does,
    // as a right-aligned label's does.
    const QStyle& style = *widget.style();
    const int needed = style.pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &widget) +
                       style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &widget) +
                       widget.fontMetrics().horizontalAdvance(Tr(control.caption)) + 1;
    if (needed < rect.width()) rect.setLeft(rect.right() - needed + 1);
  }
  return rect;
}

}  // namespace

QString ControlObjectName(int id, int index) {
  if (id == kNoControlId) return QStringLiteral("item%1").arg(index);
  return QStringLiteral("control%1").arg(id);
}

BuiltDialog BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate, const QIcon& icon) {
  ApplyWindowStyles(dialog, dialogTemplate);
  BuiltDialog built;
  QWidget* previousTabStop = nullptr;
  int index = 0;
  for (const ControlTemplate& control : dialogTemplate.controls) {
    QWidget* widget = CreateControl(control, icon, &dialog);
    widget->setObjectName(ControlObjectName(control.id, index++));
    if (Has(control.styles, style::kTabStop)) {
      widget->setFocusPolicy(Qt::StrongFocus);
      if (previousTabStop != nullptr) QWidget::setTabOrder(previousTabStop, widget);
      previousTabStop = widget;
    } else {
      widget->setFocusPolicy(Qt::NoFocus);
    }
    if (control.id != kNoControlId) built.controls[control.id] = widget;
    built.inOrder.push_back(widget);
  }

  // A style sheet sets its fonts when a widget is polished: captions are
  // measured in the font each control really shows them in.
  dialog.ensurePolished();
  std::vector<ControlNeed> needs;
  for (std::size_t i = 0; i < built.inOrder.size(); ++i) {
    built.inOrder[i]->ensurePolished();
    needs.push_back(MeasureNeed(dialogTemplate.controls[i], *built.inOrder[i]));
  }
  built.units = FitBaseUnits(FontBaseUnits(QFontMetricsF(dialog.font())), needs);

  for (std::size_t i = 0; i < built.inOrder.size(); ++i) {
    QWidget& widget = *built.inOrder[i];
    widget.setGeometry(PlaceControl(dialogTemplate.controls[i], widget, built.units));
  }
  dialog.setFixedSize(
      DialogUnitsToPixels(built.units, 0, 0, dialogTemplate.width, dialogTemplate.height).size());
  return built;
}

}  // namespace quillmere
