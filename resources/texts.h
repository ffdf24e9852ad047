// The system's own texts, in code page 932. texts.cpp is written in UTF-8
// and compiled with the execution character set CP932, so the source stays
// readable and the program holds the exact Shift-JIS bytes.
#pragma once

extern const char kTextApplicationTitle[];
extern const char kTextCaptionLabel[];
extern const char kTextAnalysisTookSeconds[];  // printf format with one %f
extern const char kTextAnalysisStopped[];
extern const char kTextAnalysisStoppedPressCloseAgain[];
extern const char kTextProcessingFinished[];
extern const char kTextConfirmation[];
extern const char kTextConfirmStopSearch[];
extern const char kTextCannotStartTwice[];
extern const char kTextShowVersion[];
extern const char kTextVersion[];
extern const char kTextSelectFolder[];

// The details text of the selected file.
extern const char kTextDetailsModifiedFormat[];    // printf: year, month, day, hour, minute, second
extern const char kTextDetailsFileSizeLabel[];     // followed by the digit-grouped length
extern const char kTextDetailsPictureSizeFormat[]; // printf: height, then width

// The file-information window and the text preview.
extern const char kTextFileInformation[];
extern const char kTextPreviewFontFace[];  // the font of both: "ＭＳ ゴシック"

// The file actions.
extern const char kTextConfirmRecycle[];  // followed by the path and a line feed
extern const char kTextDeleteFile[];

// Recycling many duplicates at once, and saving the results.
extern const char kTextConfirmKeepThisRecycleOthers[];  // printf: count, kept path
extern const char kTextConfirmRecycleAllButFirst[];     // printf: count, total bytes
extern const char kTextRecycledFiles[];                 // printf: count
extern const char kTextLeftChangedFiles[];              // printf: count; follows kTextRecycledFiles
extern const char kTextNotRecycledFiles[];              // printf: count; follows the two above
extern const char kTextCannotSave[];                    // followed by the path
extern const char kTextCsvFileType[];                   // the Save As dialog's file type
extern const char kTextConfirmKeepNewest[];             // printf: count, total bytes
extern const char kTextConfirmKeepOldest[];             // printf: count, total bytes
extern const char kTextConfirmKeepInFolder[];           // printf: count, total bytes, folder
extern const char kTextMinimumSizeNotANumber[];
extern const char kTextCannotOpenFile[];                // followed by "\n\n" and the path

// The settings.
extern const char kTextSettingsNotSaved[];      // followed by "\n\n" and the settings file's path
extern const char kTextFolderCannotBeStored[];  // followed by "\n\n" and the folder
