#pragma once
// The messages and dialog filters of the transplant tool's commands, shown exactly so.

#include <string_view>

namespace transplant::messages {

inline constexpr std::string_view kErrorCaption = "エラー";

inline constexpr std::string_view kNoExtensionInfo =
    "拡張情報が読み込まれてません\r\n拡張情報を読み込んで下さい";

// Extraction.
inline constexpr std::string_view kExtractedSuffix = "保存完了";
inline constexpr std::string_view kExtractedCaption = "ユニットデータ保存";
inline constexpr std::string_view kFileNotWritten = "エラー";

// Deletion.
inline constexpr std::string_view kDeleteQuestion =
    "選択ユニットを削除して、\r\n空きユニット欄・武器欄を作ります";

// ID area extension and extension info.
inline constexpr std::string_view kExtendCaption = "拡張";
inline constexpr std::string_view kExtendQuestion = "Id領域拡張を行います\r\n開始アドレス:0x";
inline constexpr std::string_view kSaveInfoQuestion = "領域拡張情報を保存しますか？";
inline constexpr std::string_view kExtended = "拡張完了しました";
inline constexpr std::string_view kExtendedCaption = "拡張完了";
inline constexpr std::string_view kInfoSaved = "拡張情報を保存しました";
inline constexpr std::string_view kInfoNotSaved = "拡張情報を保存しませんでした";
inline constexpr std::string_view kSaveInfoCaption = "Brenmark_SaveExtendInfo";
inline constexpr std::string_view kInfoMismatch = "拡張情報とROMが一致しません";
inline constexpr std::string_view kInfoLoaded = "読込完了";
inline constexpr std::string_view kInfoLoadedCaption = "拡張情報読み込み";
inline constexpr std::string_view kInfoFilterDescription = "Id領域拡張情報ファイル";
inline constexpr std::string_view kInfoFilterPattern = "*.ExtInfo";

// Transplant.
inline constexpr std::string_view kFileSetFilterDescription = "ユニット抽出データ";
inline constexpr std::string_view kFileSetFilterPattern = "UnitAllData.dat";
inline constexpr std::string_view kShortage =
    "空きId領域が足りません\r\n領域拡張などをして空きを確保してください";
inline constexpr std::string_view kAddedCaption = "追加完了";
inline constexpr std::string_view kAddedJoin = "に";
inline constexpr std::string_view kAddedSuffix = "を追加しました";
inline constexpr std::string_view kSlotNotFree = "追加先のユニットは空きではありません: ";
inline constexpr std::string_view kNotAdded = "\r\nユニットを追加しませんでした";
inline constexpr std::string_view kUnitFileTooShort = "\r\nファイルの長さが不正です";
inline constexpr std::string_view kNoTargetSlot =
    "追加先のユニットを一覧から選んでください";

}  // namespace transplant::messages
