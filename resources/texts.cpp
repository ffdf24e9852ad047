// Compiled with -fexec-charset=CP932: every literal here becomes Shift-JIS.
#include "resources/texts.h"

const char kTextApplicationTitle[] = "同一ファイル検索ソフト";
const char kTextCaptionLabel[] = "重複ファイル";
const char kTextAnalysisTookSeconds[] = "解析にかかった時間は[%f]秒です";
const char kTextAnalysisStopped[] = "解析を中止しました";
const char kTextAnalysisStoppedPressCloseAgain[] =
    "解析を中止しました\n\nウインドウを閉じる場合はもう一度\ncloseボタンを押してください";
const char kTextProcessingFinished[] = "処理終了";
const char kTextConfirmation[] = "確認";
const char kTextConfirmStopSearch[] = "検索を中止してもよろしいですか？";
const char kTextCannotStartTwice[] = "TOVRIKの二重起動は\n出来ません";
const char kTextShowVersion[] = "バージョン表示";
const char kTextVersion[] = "Version 0.09   2009/10/09";
const char kTextSelectFolder[] = "フォルダ選択";

const char kTextDetailsModifiedFormat[] = "更新日時＝%04d年%2d月%2d日 %2d時%2d分%2d秒\n";
const char kTextDetailsFileSizeLabel[] = "ファイルサイズ＝";
// A full-width blank after サイズ, two ordinary ones before 横.
const char kTextDetailsPictureSizeFormat[] = "\n画像サイズ　縦=%d  横=%d";

const char kTextFileInformation[] = "ファイル情報";
const char kTextPreviewFontFace[] = "ＭＳ ゴシック";

const char kTextConfirmRecycle[] = "下記ファイルをゴミ箱に入れてもよろしいですか？\n\n";
const char kTextDeleteFile[] = "ファイル削除";

const char kTextConfirmKeepThisRecycleOthers[] =
    "下記ファイルを残し、同じグループのほかの%s個のファイルをゴミ箱に入れてもよろしいですか？\n\n%s\n";
const char kTextConfirmRecycleAllButFirst[] =
    "各グループの先頭のファイルを残し、ほかの%s個のファイル（合計%s byte）をゴミ箱に入れてもよろしいですか？";
const char kTextRecycledFiles[] = "%s個のファイルをゴミ箱に入れました";
const char kTextLeftChangedFiles[] = "\n\n内容が変わっていたか開けなかったため、%s個のファイルを残しました";
const char kTextNotRecycledFiles[] = "\n\n%s個のファイルはゴミ箱に入れられませんでした";
const char kTextCannotSave[] = "保存できませんでした";
const char kTextCsvFileType[] = "CSV ファイル (*.csv)";
const char kTextConfirmKeepNewest[] =
    "各グループで最も新しいファイルを残し、ほかの%s個のファイル（合計%s byte）をゴミ箱に入れてもよろしいですか？";
const char kTextConfirmKeepOldest[] =
    "各グループで最も古いファイルを残し、ほかの%s個のファイル（合計%s byte）をゴミ箱に入れてもよろしいですか？";
const char kTextConfirmKeepInFolder[] =
    "下記フォルダ内のファイルを残し、ほかの%s個のファイル（合計%s byte）をゴミ箱に入れてもよろしいですか？\n\n%s\n";
const char kTextCannotOpenFile[] = "ファイルを開けませんでした";
const char kTextMinimumSizeNotANumber[] = "最小ファイルサイズには0以上の整数を入力してください";

// Followed by two line feeds and the settings file's path.
const char kTextSettingsNotSaved[] = "設定を保存できませんでした";
const char kTextFolderCannotBeStored[] = "このフォルダは設定に保存できません";
