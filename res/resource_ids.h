#pragma once

// Control, string, icon and template ids shared by the window templates, the
// event wiring and the code.
namespace quillmere::ids {

// Window templates.
inline constexpr int kAboutTemplate = 100;
inline constexpr int kMainTemplate = 102;
inline constexpr int kAppIcon = 128;

// Controls of the main window.
inline constexpr int kExit = 1;  // the dialog's OK command
inline constexpr int kAddFiles = 1000;
inline constexpr int kConvertTables = 1001;
inline constexpr int kFileList = 1002;
inline constexpr int kCleanNotes = 1003;
inline constexpr int kClear = 1004;
inline constexpr int kStart = 1005;
inline constexpr int kRemoveTextEnabled = 1006;
inline constexpr int kRemoveText = 1007;
inline constexpr int kRemoveBlockEnabled = 1008;
inline constexpr int kBlockBegin = 1009;
inline constexpr int kBlockEnd = 1010;
inline constexpr int kStatusLine = 1011;
inline constexpr int kSearchText = 1012;
inline constexpr int kReplaceText = 1013;
inline constexpr int kSearchEnabled = 1014;
inline constexpr int kProgressBar = 1015;
inline constexpr int kPercentLabel = 1016;
inline constexpr int kRemoveScripts = 1017;
inline constexpr int kCaseSensitive = 1018;
inline constexpr int kRemovePictures = 1019;
inline constexpr int kRemoveForms = 1020;
inline constexpr int kRemoveSounds = 1021;
inline constexpr int kRemoveHeading = 1022;
inline constexpr int kConvertLists = 1023;
inline constexpr int kRemoveFonts = 1024;
inline constexpr int kBlockBeginLabel = 1025;
inline constexpr int kBlockEndLabel = 1026;
inline constexpr int kReplaceLabel = 1027;
inline constexpr int kPdaPreset = 1028;
inline constexpr int kAboutLabel = 1031;
inline constexpr int kHelpLabel = 1032;

// Controls of the About box.
inline constexpr int kAboutOk = 1;

// System menu command of the About item.
inline constexpr int kIdmAbout = 16;
// The system menu's Move item, kept grayed under a command of its own.
inline constexpr int kIdmMoveGrayed = 32;

// The native window's "Undo last run", from the file list's menu or its key.
inline constexpr int kIdmUndoLastRun = 0x8001;
// The rest of the list's menu; Preview also on its key.
inline constexpr int kIdmAddFolder = 0x8002;
inline constexpr int kIdmRemoveSelected = 0x8003;
inline constexpr int kIdmOpenFolder = 0x8004;
inline constexpr int kIdmPreview = 0x8005;
inline constexpr int kIdmCodePage = 0x8006;

// String table.
inline constexpr int kStrAboutMenuItem = 101;
inline constexpr int kStrDropProgress = 102;
inline constexpr int kStrSelectedFiles = 103;
inline constexpr int kStrRunSummary = 104;

}  // namespace quillmere::ids
