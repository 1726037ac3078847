#include "Status.h"

namespace nnotes {
namespace {

// ERR_MASK (globerr.h, the reference's ERR page): the status without its two flag bits.
constexpr Status kStatusMask = 0x3FFF;

struct StatusEntry {
    Status status;
    const char* text;
};

// The texts a Japanese Notes client shows; kept in UTF-8 here and handed out in LMBCS.
constexpr StatusEntry kTexts[] = {
    {kErrNoExist, u8"ファイルが存在しません"},
    {kErrInvalidHandle, u8"無効なハンドルです"},
    {kErrNoMoreHandles, u8"使用できるハンドルがありません"},
    {kErrNoNotesIni, u8"NOTES.INI ファイルが見つかりません"},
    {kErrDirectory, u8"データベースではなくディレクトリが指定されました"},
    {kErrNotDatabase, u8"このファイルは Notes データベースではありません"},
    {kErrDamaged, u8"データベースが破損しています"},
    {kErrInvalidNoteId, u8"無効な、または存在しない文書です"},
    {kErrItemNotFound, u8"アイテムが見つかりません"},
    {kErrListEntry, u8"リストのエントリ番号が範囲外です"},
    {kErrPathTooLong, u8"パス名が長すぎます"},
    {kErrNoModifiedNotes, u8"指定された時刻以降に変更された文書はありません"},
    {kErrBadArgument, u8"引数が無効です"},
    {kErrSpecialId, u8"特殊なデータベースオブジェクトが見つかりません"},
    {kErrBadObject, u8"オブジェクト ID が無効です"},
    {kErrObjectTruncated,
     u8"ファイルオブジェクトが切り詰められています - ファイルが破損している可能性があります"},
    {kErrNoteNotSigned, u8"文書は署名されていません"},
    {kErrUnsupportedCryptoOp, u8"サポートされていない暗号操作が要求されました"},
    {kErrDesignNotFound, u8"インデックスにエントリが見つかりません"},
    {kErrCollectionNotFound, u8"ビューが見つかりません"},
    {kErrServerNotFound, u8"サーバーへのパスが見つかりません"},
    {kErrNotAuthorized, u8"この操作を実行する権限がありません"},
    {kErrNoDecryptKey, u8"この文書を復号化するための暗号化キーがありません"},
    {kErrSignature, u8"文書の署名を検証できません"},
    {kErrProtected, u8"ファイルを作成または書き込みできません (ファイルまたはディスクが読み取り専用です)"},
    {kErrBadAttachmentSignature, u8"添付ファイルは署名後に変更されたか、破損しています"},
    {kErrNoExtractEncrypted, u8"このファイルを取り出すには復号化キーが必要です"},
    {kErrUnsupported, u8"この機能はまだ実装されていません"},
};

}  // namespace

const char* StatusText(Status status) {
    Status code = static_cast<Status>(status & kStatusMask);
    for (const auto& e : kTexts) {
        if (e.status == code) return e.text;
    }
    return nullptr;
}

}  // namespace nnotes
