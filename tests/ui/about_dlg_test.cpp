#include "about_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "dialog_template.h"
#include "resource_ids.h"
#include "static_text.h"

namespace quillmere {
namespace {

TEST(AboutBox, ShowsTheIconAndEveryLineInFullWithOkFocused) {
  QWidget owner;
  CAboutDlg about(&owner);
  EXPECT_EQ(about.windowTitle(), QStringLiteral("Quillmere"));
  EXPECT_EQ(about.minimumSize(), about.maximumSize());
  EXPECT_FALSE(about.windowFlags() & Qt::WindowMinimizeButtonHint);

  const auto& controls = about.controls();
  const auto& templates = AboutDialogTemplate().controls;
  ASSERT_EQ(controls.size(), templates.size());
  QStringList lines;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    QWidget* widget = controls[i];
    EXPECT_TRUE(about.rect().contains(widget->geometry())) << i;
    if (auto* text = qobject_cast<StaticText*>(widget)) {
      lines << text->text();
      EXPECT_LE(text->fontMetrics().horizontalAdvance(text->text()), text->width()) << i;
      EXPECT_EQ(text->lineCount(), 1) << i;
    } else if (auto* icon = qobject_cast<QLabel*>(widget)) {
      EXPECT_EQ(templates[i].kind, ControlKind::kIcon);
      EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));
      EXPECT_GE(icon->width(), 32);
    }
  }
  EXPECT_EQ(lines.size(), 4);
  EXPECT_TRUE(lines.contains(QStringLiteral("Quillmere Version 1.0.9")));
  EXPECT_TRUE(lines.contains(QStringLiteral("For the latest version turn to:")));

  auto* ok = about.findChild<QPushButton*>(QStringLiteral("control1"));
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), QStringLiteral("OK"));
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(about.focusWidget(), ok);
  ok->click();
  EXPECT_EQ(about.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace quillmere
