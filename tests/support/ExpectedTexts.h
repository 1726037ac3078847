#pragma once
// Shift_JIS bytes of texts the tests expect (made by scripts/sjis-literal).

// SHARE.EXE 未ロードまたは共有領域ロック済み
inline constexpr char kTextSharing[] =
    "SHARE.EXE \x96\xa2\x83\x8d\x81[\x83h\x82\xdc\x82\xbd\x82\xcd\x8b\xa4\x97L\x97\xcc\x88\xe6\x83\x8d\x83""b\x83N\x8d\xcf\x82\xdd";
// 不正パス
inline constexpr char kTextBadPath[] = "\x95s\x90\xb3\x83p\x83X";
// ファイル未定義
inline constexpr char kTextNotFound[] = "\x83t\x83@\x83""C\x83\x8b\x96\xa2\x92\xe8\x8b`";
// ファイル アクセス禁止
inline constexpr char kTextAccessDenied[] = "\x83t\x83@\x83""C\x83\x8b \x83""A\x83N\x83Z\x83X\x8b\xd6\x8e~";
// ディスク フル
inline constexpr char kTextDiskFull[] = "\x83""f\x83""B\x83X\x83N \x83t\x83\x8b";
inline constexpr char kTextFileErrorCaption[] = "Log File Error!";
