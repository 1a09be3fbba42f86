#include "shell/qt/system_texts.hpp"

#include <QCoreApplication>
#include <QTranslator>

#include <algorithm>
#include <array>
#include <string_view>

namespace shell::qt {
namespace {

// A text Qt asks to translate: its class (context) and its English source.
struct SystemText {
    std::string_view context;
    std::string_view source;
    std::string_view japanese;
};

// The words of the Japanese Windows common dialogs and message boxes, which the users know.
constexpr std::array kSystemTexts = std::to_array<SystemText>({
    {"QGuiApplication", "QT_LAYOUT_DIRECTION", "LTR"},
    {"QPlatformTheme", "OK", "OK"},
    {"QPlatformTheme", "Cancel", "キャンセル"},
    {"QPlatformTheme", "&Yes", "はい"},
    {"QPlatformTheme", "&No", "いいえ"},
    {"QPlatformTheme", "Open", "開く"},
    {"QPlatformTheme", "Save", "保存"},
    {"QFileDialog", "&Open", "開く"},
    {"QFileDialog", "&Save", "保存"},
    {"QFileDialog", "Look in:", "ファイルの場所:"},
    {"QFileDialog", "File &name:", "ファイル名(&N):"},
    {"QFileDialog", "Files of type:", "ファイルの種類:"},
    {"QFileDialog", "Back", "戻る"},
    {"QFileDialog", "Forward", "進む"},
    {"QFileDialog", "Parent Directory", "1 つ上のフォルダー"},
    {"QFileDialog", "Create New Folder", "新しいフォルダーの作成"},
    {"QFileDialog", "List View", "一覧"},
    {"QFileDialog", "Detail View", "詳細"},
    {"QFileDialog", "Go back", "前のフォルダーに戻る"},
    {"QFileDialog", "Go forward", "次のフォルダーに進む"},
    {"QFileDialog", "Go to the parent directory", "1 つ上のフォルダーに移動"},
    {"QFileDialog", "Create a New Folder", "新しいフォルダーを作成"},
    {"QFileDialog", "Change to list view mode", "一覧表示に切り替え"},
    {"QFileDialog", "Change to detail view mode", "詳細表示に切り替え"},
    {"QFileDialog", "List of places and bookmarks", "場所とブックマークの一覧"},
    {"QFileDialog", "Sidebar", "サイドバー"},
    {"QFileDialog", "Files", "ファイル"},
    // Put before a column's name in the menu of the list's heading.
    {"QFileDialog", "Show ", "表示 "},
    {"QFileDialog", "Recent Places", "最近使った場所"},
    {"QFileDialog", "&Rename", "名前の変更"},
    {"QFileDialog", "&Delete", "削除"},
    {"QFileDialog", "Show &hidden files", "隠しファイルを表示"},
    {"QFileDialog", "&New Folder", "新しいフォルダー"},
    {"QFileDialog", "New Folder", "新しいフォルダー"},
    {"QFileDialog", "%1 already exists.\nDo you want to replace it?",
     "%1 は既に存在します。\n上書きしますか?"},
    {"QFileDialog", "%1\nFile not found.\nPlease verify the correct file name was given.",
     "%1\nファイルが見つかりません。\nファイル名を確認してください。"},
    {"QFileDialog", "%1\nDirectory not found.\nPlease verify the correct directory name was given.",
     "%1\nフォルダーが見つかりません。\nフォルダー名を確認してください。"},
    {"QFileDialog", "'%1' is write protected.\nDo you want to delete it anyway?",
     "'%1' は書き込み禁止です。\n削除しますか?"},
    {"QFileDialog", "Are you sure you want to delete '%1'?", "'%1' を削除しますか?"},
    {"QFileDialog", "Could not delete directory.", "フォルダーを削除できませんでした。"},
    {"QFileSystemModel", "Name", "名前"},
    {"QFileSystemModel", "Size", "サイズ"},
    {"QFileSystemModel", "Type", "種類"},
    {"QFileSystemModel", "Date Modified", "更新日時"},
    {"QFileSystemModel", "Computer", "コンピューター"},
    {"QFileSystemModel", "My Computer", "コンピューター"},
    {"QAbstractFileIconProvider", "Folder", "フォルダー"},
    {"QAbstractFileIconProvider", "Drive", "ドライブ"},
    {"QAbstractFileIconProvider", "File", "ファイル"},
    {"QAbstractFileIconProvider", "%1 File", "%1 ファイル"},
    {"QLineEdit", "&Undo", "元に戻す"},
    {"QLineEdit", "&Redo", "やり直し"},
    {"QLineEdit", "Cu&t", "切り取り"},
    {"QLineEdit", "&Copy", "コピー"},
    {"QLineEdit", "&Paste", "貼り付け"},
    {"QLineEdit", "Delete", "削除"},
    {"QLineEdit", "Select All", "すべて選択"},
});

class JapaneseSystemTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;

    // An empty result leaves Qt's own text.
    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override
    {
        if (context == nullptr || sourceText == nullptr)
            return {};
        const std::string_view wantedContext(context);
        const std::string_view wantedSource(sourceText);
        const auto found = std::ranges::find_if(kSystemTexts, [&](const SystemText& text) {
            return text.context == wantedContext && text.source == wantedSource;
        });
        if (found == kSystemTexts.end())
            return {};
        const std::string_view japanese = found->japanese;
        return QString::fromUtf8(japanese.data(), static_cast<qsizetype>(japanese.size()));
    }

    bool isEmpty() const override { return false; }
};

}  // namespace

void installJapaneseSystemTexts(QCoreApplication& application)
{
    QCoreApplication::installTranslator(new JapaneseSystemTexts(&application));
}

}  // namespace shell::qt
