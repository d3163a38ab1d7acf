#pragma once

// Every text the program shows, in one place. The Qt window passes each
// through its translation (tr) by its English source text, so that a
// translation can be added later. Texts are 8-bit, in the system's code page;
// "%d" stands for a number. The cleaning groups' own captions and help lines
// are in their table, res/cleaning_groups.cpp.
namespace quillmere::texts {

// A text about a number of things, in its two English forms: for exactly
// one, and for any other number. Each form is translated by itself.
struct CountedText {
  const char* one;
  const char* other;
};

// The form that fits `count`.
constexpr const char* FormFor(const CountedText& text, unsigned long long count) {
  return count == 1 ? text.one : text.other;
}

inline constexpr const char* kProgramName = "Quillmere";
inline constexpr const char* kVersionWord = " Version ";

// The main window.
inline constexpr const char* kAddFiles = "Add files";
inline constexpr const char* kClear = "CLR";
inline constexpr const char* kStart = "START";
inline constexpr const char* kStop = "STOP";
inline constexpr const char* kExit = "Exit";
inline constexpr const char* kRemoveHeading = "Remove :";
inline constexpr const char* kBlockBeginLabel = "begin text :";
inline constexpr const char* kBlockEndLabel = "end text :";
inline constexpr const char* kReplaceLabel = "replace :";
inline constexpr const char* kAboutLabel = "About ...";
inline constexpr const char* kHelpLabel = "A little help";
inline constexpr const char* kFileListName = "List1";
inline constexpr const char* kProgressName = "Progress1";
inline constexpr const char* kTemplatePercent = "100 %";
// What a screen reader calls the controls without a caption of their own.
inline constexpr const char* kFilesName = "Files";
inline constexpr const char* kProgressBarName = "Progress";
// The list's context menu.
inline constexpr const char* kAddFolder = "Add folder...";
inline constexpr const char* kRemoveSelected = "Remove selected";
inline constexpr const char* kOpenFolder = "Open containing folder";
inline constexpr const char* kUndoLastRun = "Undo last run";
// The code page of older files: the list's menu item and its box. "%1" is
// the name of the system's own code page.
inline constexpr const char* kCodePageItem = "Code page of older files...";
inline constexpr const char* kCodePageTitle = "Code page of older files";
inline constexpr const char* kCodePageLabel =
    "Files with no byte order mark that are not valid UTF-8 are read and written in:";
inline constexpr const char* kCodePageDefault = "%1 (this system's)";
inline constexpr const char* kCodePageNotKept =
    "The code page holds until the window closes, but it could not be kept for later:";
// Qt's "%1" and "%2": the number of files and when the run was.
inline constexpr CountedText kUndoQuestion{
    "Put back the %1 file the last run changed, on %2, as it was before it?",
    "Put back the %1 files the last run changed, on %2, as they were before it?"};
// Below the question: up to five of the files, then how many more.
inline constexpr const char* kUndoMoreFiles = "and %1 more";
// The status line while a run is undone: the file in hand.
inline constexpr const char* kUndoing = "Undoing : %1";
inline constexpr CountedText kUndoResult{"Undone : %1 file, left alone : %2",
                                         "Undone : %1 files, left alone : %2"};
// An undo STOP ended: the counts, and how many files a later undo will take.
inline constexpr CountedText kUndoStopped{
    "Stopped. Undone : %1 file, left alone : %2, not yet undone : %3",
    "Stopped. Undone : %1 files, left alone : %2, not yet undone : %3"};
// A run STOP ended: the files listed, those handled, and the counts.
inline constexpr const char* kStoppedSummary =
    "Stopped. Files : %1, Done : %2, Replaced files : %3, Errors : %4";
inline constexpr const char* kNothingToUndo = "No run to undo.";
inline constexpr const char* kTemplateStatus = "OK.";
// The preview of one file; Qt's "%1", "%2" and "%3" are filled in.
inline constexpr const char* kPreviewChanges = "Preview changes...";
inline constexpr const char* kPreviewTitle = "Preview of %1";
// Once the file is read: its name, then its encoding ("UTF-16LE BOM").
inline constexpr const char* kPreviewTitleEncoding = "Preview of %1 (%2)";
inline constexpr const char* kPreviewWorking = "Reading and cleaning the file...";
// "%1" and "%2" are sizes (kByteCount), "%3" the places (kPlacesChange).
inline constexpr const char* kPreviewSummary =
    "%1 now, %2 after a run with these options; %3. Nothing is written.";
inline constexpr CountedText kByteCount{"%1 byte", "%1 bytes"};
inline constexpr CountedText kPlacesChange{"%1 place changes", "%1 places change"};
inline constexpr const char* kPreviewNoChange =
    "A run with these options leaves this file as it is. Nothing is written.";
inline constexpr const char* kPreviewUnreadable = "This file cannot be read: %1";
inline constexpr const char* kPreviewGroups = "What each &group does :";
inline constexpr const char* kPreviewGroupColumn = "Group";
inline constexpr const char* kPreviewChangeColumn = "Change";
inline constexpr const char* kPreviewNoGroups = "No cleaning group is ticked.";
inline constexpr CountedText kGroupRemoved{"%1 byte removed", "%1 bytes removed"};
inline constexpr CountedText kGroupAdded{"%1 byte added", "%1 bytes added"};
inline constexpr const char* kGroupSameLength = "changed, same length";
inline constexpr const char* kGroupNoChange = "no change";
inline constexpr const char* kPreviewBefore = "&Before :";
inline constexpr const char* kPreviewAfter = "&After :";
inline constexpr const char* kPreviousChange = "&Previous change";
inline constexpr const char* kNextChange = "&Next change";
inline constexpr const char* kPreviewPlace = "Change %1 of %2";
inline constexpr const char* kPreviewClose = "Close";
inline constexpr const char* kPreviewLine = "Line %1: %2";
inline constexpr const char* kPreviewChangedLine = "Line %1, changed: %2";
inline constexpr const char* kPreviewEmpty = "Empty";
inline constexpr const char* kPreviewNoLineEnd = "[no line end]";

// The status line, the percentage label and the string table (ids 101-104).
inline constexpr const char* kAboutMenuItem = "&About ...";
inline constexpr const char* kDropProgress = "OK. Files : %d";
inline constexpr const char* kSelectedFiles = "OK.Selected files : %d";
// Below the count of the files left, after files were taken off the list.
inline constexpr CountedText kRemovedFiles{"Removed : %d file", "Removed : %d files"};
// After it: the first folder's path and its reason in brackets.
inline constexpr const char* kFoldersNotReadSummary = "Folders not read : %d, the first: ";
inline constexpr const char* kRunSummary = "OK. Files : %d, Replaced files : %d, Errors : %d";
inline constexpr const char* kRestoredSummary = "Restored after an interrupted run : %d";
inline constexpr const char* kCleared = "OK.";
inline constexpr const char* kWelcome = "OK. Drag and drop files.";
inline constexpr const char* kPercent = "%d %%";

// Message boxes and the command line's lines.
inline constexpr const char* kSelectFiles = "Select files !";
inline constexpr const char* kTooManyFiles =
    "Too many files for one selection. Choose them in smaller groups.";
inline constexpr const char* kOpenError = "File open error: ";
inline constexpr const char* kSaveError = "File save error: ";
inline constexpr const char* kRestored = "File restored: ";
inline constexpr const char* kRestoredDetails =
    "its content from before an interrupted run was put back first";
inline constexpr const char* kWouldRestore = "File would be restored: ";
inline constexpr const char* kWouldRestoreDetails =
    "a run would first put back its content from before an interrupted run";
inline constexpr const char* kNoUndoCopy = "No undo copy: ";
// After the reason: "disk full (the undo journal has no room for it)".
inline constexpr const char* kNoUndoCopyDetails = "; the file was cleaned all the same";
inline constexpr const char* kNoUndoCopySummary = "Cleaned without an undo copy : %d";
inline constexpr const char* kTimesNotKept = "Times not kept: ";
inline constexpr const char* kIgnoredCopy = "Recovery copy ignored: ";
// "Rule text left out: PATH<tab>rule text not representable in windows-1252"
inline constexpr const char* kRuleLeftOut = "Rule text left out: ";
inline constexpr const char* kRuleLeftOutDetails = "rule text not representable in ";
inline constexpr const char* kRuleLeftOutSummary = "Files whose code page lacks a rule text : %d";
inline constexpr const char* kIgnoredCopiesSummary = "Recovery copies ignored : %d";

// The open-file dialog's filters: what each shows, in UTF-8, and its
// patterns. "All Files (*.*)" also lists names without a dot.
struct FileFilterText {
  const char* description;
  const char* patterns;
};
inline constexpr FileFilterText kOpenFileFilters[] = {
    {"HTML soubory (*.htm*)", "*.htm*"},
    {"Textov\u00e9 soubory (*.txt)", "*.txt"},
    {"HTML a textov\u00e9 soubory (*.htm* *.txt)", "*.htm*; *.txt"},
    {"All Files (*.*)", "*.*"},
};

// The About box.
inline constexpr const char* kAboutNotice = "Free software, no warranty.";
inline constexpr const char* kAboutLatestIntro = "For the latest version turn to:";
inline constexpr const char* kAboutAddress = "https://quillmere.example.org";
inline constexpr const char* kOk = "OK";
// The error box's buttons beside OK during a run.
inline constexpr const char* kStopTheRun = "Stop the run";
inline constexpr const char* kNoMoreErrorBoxes = "Don't show again in this run";

// The two help boxes behind "A little help"; "%s" is the program's name.
inline constexpr const char* kHelpIntroCaption = "About :";
inline constexpr const char* kHelpIntro =
    "With %s you can now easily convert HTML or any other files\n"
    "and completely remove or change unnecessary tags or other text - any required.\n"
    "You can open files with button \"Add files\" or drag and drop files on main window.\n"
    "A click button \"START\" will convert files according check options.\n"
    "\n"
    "A run can be undone: \"Undo last run\" in the file list's menu (Ctrl+Shift+Z)\n"
    "puts back the files it changed.\n"
    "\n";
inline constexpr const char* kHelpFunctionsCaption = "HTML FUNCTIONS:";

}  // namespace quillmere::texts
