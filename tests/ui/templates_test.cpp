#include <gtest/gtest.h>

#include <QDialog>
#include <QIcon>
#include <set>
#include <string>

#include "dialog_template.h"
#include "main_controls.h"
#include "resource_ids.h"
#include "template_builder.h"

namespace quillmere {
namespace {

const ControlTemplate* Find(const DialogTemplate& dialog, int id) {
  for (const ControlTemplate& control : dialog.controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

TEST(Templates, TheMainWindowHasEveryControlTheCodeUsesAsItsKind) {
  QDialog dialog;
  const BuiltDialog built = BuildDialog(dialog, MainDialogTemplate(), QIcon());
  EXPECT_EQ(FindMainControls(built.controls).missing, "");

  ControlMap wrong = built.controls;
  wrong[ids::kStart] = wrong.at(ids::kStatusLine);
  EXPECT_EQ(FindMainControls(wrong).missing, "control 1005 is not a QPushButton");
}

TEST(Templates, AreFoundByTheirIds) {
  EXPECT_EQ(FindDialogTemplate(ids::kMainTemplate), &MainDialogTemplate());
  EXPECT_EQ(FindDialogTemplate(ids::kAboutTemplate), &AboutDialogTemplate());
  EXPECT_EQ(FindDialogTemplate(101), nullptr);
}

TEST(Templates, EveryControlLiesInsideItsDialog) {
  for (const DialogTemplate* dialog : {&MainDialogTemplate(), &AboutDialogTemplate()}) {
    for (const ControlTemplate& control : dialog->controls) {
      EXPECT_GE(control.x, 0) << control.caption;
      EXPECT_GE(control.y, 0) << control.caption;
      EXPECT_LE(control.x + control.width, dialog->width) << control.caption;
      EXPECT_LE(control.y + control.height, dialog->height) << control.caption;
    }
  }
}

TEST(Templates, MainWindowHasEveryControlOnceWithTheFileListFirst) {
  const DialogTemplate& main = MainDialogTemplate();
  EXPECT_STREQ(main.caption, "Quillmere");
  EXPECT_EQ(main.width, 317);
  EXPECT_EQ(main.height, 214);
  ASSERT_EQ(main.controls.size(), 32u);
  std::set<int> seen;
  for (const ControlTemplate& control : main.controls) {
    EXPECT_TRUE(seen.insert(control.id).second) << control.id;
  }
  // The first tab stop takes the focus when the window opens.
  EXPECT_EQ(main.controls.front().id, ids::kFileList);
  EXPECT_EQ(main.controls.back().id, ids::kHelpLabel);
}

TEST(Templates, OnlyAddFilesIsTheDefaultButtonAndOnlyTheLabelsNotify) {
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    EXPECT_EQ((control.styles & style::kDefaultButton) != 0, control.id == ids::kAddFiles)
        << control.id;
    const bool clickLabel = control.id == ids::kAboutLabel || control.id == ids::kHelpLabel;
    EXPECT_EQ((control.styles & style::kNotify) != 0, clickLabel) << control.id;
    if (clickLabel) {
      EXPECT_EQ(control.styles & style::kTabStop, 0u);
    }
  }
}

TEST(Templates, StatusLineIsTwoLinesHighAcrossTheWholeWidth) {
  const ControlTemplate* status = Find(MainDialogTemplate(), ids::kStatusLine);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->height, 20);
  EXPECT_EQ(status->width, 305);
  EXPECT_NE(status->styles & style::kWordWrap, 0u);
  const ControlTemplate* percent = Find(MainDialogTemplate(), ids::kPercentLabel);
  ASSERT_NE(percent, nullptr);
  EXPECT_EQ(percent->styles & style::kWordWrap, 0u);
}

TEST(Templates, AboutBoxShowsTheVersionAndWhereToFindTheLatest) {
  const DialogTemplate& about = AboutDialogTemplate();
  EXPECT_STREQ(about.caption, "Quillmere");
  EXPECT_EQ(about.width, 235);
  EXPECT_EQ(about.height, 61);
  EXPECT_EQ(about.styles & style::kVisible, 0u);
  std::set<std::string> texts;
  for (const ControlTemplate& control : about.controls) texts.insert(control.caption);
  EXPECT_TRUE(texts.count("Quillmere Version 1.0.9"));
  EXPECT_TRUE(texts.count("For the latest version turn to:"));
  EXPECT_TRUE(texts.count("OK"));
  const ControlTemplate* ok = Find(about, ids::kAboutOk);
  ASSERT_NE(ok, nullptr);
  EXPECT_NE(ok->styles & style::kDefaultButton, 0u);
  EXPECT_EQ(about.controls.front().kind, ControlKind::kIcon);
}

}  // namespace
}  // namespace quillmere
