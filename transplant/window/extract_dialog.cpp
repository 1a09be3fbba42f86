#include "transplant/window/extract_dialog.hpp"

#include "shell/number_text.hpp"
#include "shell/qt/controls.hpp"
#include "shell/qt/modal_dialog.hpp"
#include "shell/qt/qt_text.hpp"
#include "shell/qt/tool_frame.hpp"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

#include <algorithm>
#include <array>
#include <string_view>

namespace transplant {
namespace {

using shell::qt::ControlRect;

constexpr std::string_view kTitle = "ユニット抽出ダイアログ(抽出対象をチェックしてください)";
constexpr int kOuterWidth = 451;
constexpr int kOuterHeight = 376;

// The kinds the dialog shows, in the order of their radio buttons. The first six are reached
// through the kept records and always written, so their buttons are shown disabled.
struct KindButton {
    int id;
    std::string_view caption;
    ControlRect rect;
    rom::ResourceKind kind;
    std::string_view itemLabel;
    bool offered;
};

constexpr std::array<KindButton, 9> kKindButtons{{
    {1006, "描画R1", {155, 46, 58, 14}, rom::ResourceKind::MotionPart, "本体描画ルーチン", false},
    {1007, "描画R2", {215, 46, 58, 14}, rom::ResourceKind::ShadowEtc, "影描画ルーチン", false},
    {1008, "描画R3", {275, 46, 58, 14}, rom::ResourceKind::CutinScroll, "エフェクトルーチン", false},
    {1009, "BGMap", {338, 46, 58, 14}, rom::ResourceKind::BGMap, "BGMap", false},
    {1010, "Sprite", {83, 63, 49, 14}, rom::ResourceKind::Sprite, "Sprite", false},
    {1011, "Pallet", {133, 63, 51, 14}, rom::ResourceKind::Pallet, "Pallet", false},
    {1012, "SysAni", {183, 63, 56, 14}, rom::ResourceKind::SystemAnime, "システムアニメ", true},
    {1013, "画像変更定義", {243, 63, 92, 14}, rom::ResourceKind::GraphicDifinition, "画像変更用定義", true},
    {1014, "UnitCutin", {333, 63, 68, 14}, rom::ResourceKind::UnitCutin, "Unitカットイン", true},
}};

// The kind shown when the dialog opens: the system animations.
constexpr std::size_t kFirstShownKind = 6;

// Item check box n: identifier 5000 + n, in columns of sixteen.
constexpr int kFirstItemId = 5000;
constexpr int kItemsPerColumn = 16;
constexpr int kItemColumnWidth = 140;
constexpr int kItemLeft = 20;
constexpr int kItemTop = 95;
constexpr int kItemWidth = 135;
constexpr int kItemHeight = 14;
constexpr int kItemIdDigits = 3;

// The group's inside, where the items scroll. The first three columns fit it exactly; a fourth
// column and beyond (48 items or more) would lie outside the dialog, so the area scrolls to
// reach them.
constexpr ControlRect kItemArea{10, 93, 427, 231};

ControlRect itemRect(std::size_t n)
{
    const int column = static_cast<int>(n) / kItemsPerColumn;
    const int row = static_cast<int>(n) % kItemsPerColumn;
    return ControlRect{column * kItemColumnWidth + kItemLeft - kItemArea.x,
                       kItemTop + row * kItemHeight - kItemArea.y, kItemWidth, kItemHeight};
}

}  // namespace

ExtractDialog::ExtractDialog(const rom::UnitResourceSet& target, const std::string& targetLine,
                             SelectionFlags& flags, QWidget* owner)
    : ToolDialog(owner), target_(target), flags_(flags)
{
    setObjectName(kExtractDialogName);
    shell::qt::applyDialogFrame(*this, kTitle, kOuterWidth, kOuterHeight);
    if (target_.valid)
        flags_.selectAll();
    createControls(target_.valid ? targetLine : std::string());
    saveButton_->setEnabled(target_.valid);
    kindButtons_[kFirstShownKind]->setChecked(true);
    showKind(kFirstShownKind);
}

void ExtractDialog::createControls(const std::string& targetLine)
{
    shell::qt::ControlFactory controls(*this, shell::qt::toolFont(shell::qt::Tool::Keldra));
    controls.groupBox(1003, "ユニット情報", ControlRect{8, 3, 263, 40});
    shell::qt::setControlText(controls.lineEdit(1001, ControlRect{15, 18, 231, 20}), targetLine);
    controls.checkBox(1015, "細かく設定", ControlRect{294, 17, 76, 17}).setEnabled(false);
    QPushButton& all = controls.pushButton(1016, "すべて抽出", ControlRect{11, 44, 70, 18});
    QPushButton& bulkOff = controls.pushButton(1019, "一括OFF", ControlRect{84, 44, 70, 18});

    // The kind buttons are laid out for the Windows glyph, whose caption starts 2 to 3 pixels after
    // the 13-pixel circle; a wider gap would cut off the ends of "Sprite" and "UnitCutin".
    setStyleSheet(QStringLiteral("QRadioButton { spacing: 2px; }"));
    for (std::size_t kind = 0; kind < kKindButtons.size(); ++kind) {
        const KindButton& button = kKindButtons[kind];
        QRadioButton& radio = controls.radioButton(button.id, button.caption, button.rect);
        radio.setEnabled(button.offered);
        // A face wider than the Windows one would cut off a caption's end; the button grows to
        // the right instead, over the blank margin of its neighbour.
        radio.resize(std::max(button.rect.width, radio.sizeHint().width()), button.rect.height);
        connect(&radio, &QRadioButton::clicked, this, [this, kind] {
            storeShownKind();
            showKind(kind);
        });
        kindButtons_.push_back(&radio);
    }

    controls.groupBox(1005, "抽出選択", ControlRect{8, 80, 431, 246});
    auto* area = new QScrollArea(this);
    area->setGeometry(kItemArea.x, kItemArea.y, kItemArea.width, kItemArea.height);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->viewport()->setAutoFillBackground(false);
    items_ = new QWidget;
    items_->setAutoFillBackground(false);
    area->setWidget(items_);

    saveButton_ = &controls.pushButton(1017, "保存", ControlRect{93, 327, 98, 21});
    QPushButton& cancel = controls.pushButton(1018, "キャンセル", ControlRect{243, 327, 98, 21});

    connect(&all, &QPushButton::clicked, this, [this] {
        flags_.selectAll();
        refreshShownKind();
    });
    connect(&bulkOff, &QPushButton::clicked, this, [this] {
        flags_.bulkOff();
        refreshShownKind();
    });
    connect(saveButton_, &QPushButton::clicked, this, &ExtractDialog::save);
    connect(&cancel, &QPushButton::clicked, this, &ExtractDialog::reject);
}

void ExtractDialog::showKind(std::size_t kind)
{
    qDeleteAll(itemBoxes_);
    itemBoxes_.clear();
    shownKind_ = kind;

    const KindButton& button = kKindButtons[kind];
    const std::vector<std::uint16_t>& list = target_.list(button.kind);
    // Only the positions the selection flags hold get a box; extraction refuses longer lists.
    const std::size_t count = std::min(list.size(), SelectionFlags::kPositions);
    shell::qt::ControlFactory controls(*items_, shell::qt::toolFont(shell::qt::Tool::Keldra));
    int width = kItemArea.width;
    int height = kItemArea.height;
    for (std::size_t n = 0; n < count; ++n) {
        const ControlRect rect = itemRect(n);
        const std::string caption = std::string(button.itemLabel) + shell::paddedHexText(list[n], kItemIdDigits);
        itemBoxes_.push_back(
            &controls.checkBox(kFirstItemId + static_cast<int>(n), caption, rect));
        width = std::max(width, rect.x + rect.width);
        height = std::max(height, rect.y + rect.height);
    }
    items_->resize(width, height);
    refreshShownKind();
}

void ExtractDialog::storeShownKind()
{
    const rom::ResourceKind kind = kKindButtons[shownKind_].kind;
    for (std::size_t n = 0; n < itemBoxes_.size(); ++n)
        flags_.set(kind, n, itemBoxes_[n]->isChecked());
}

void ExtractDialog::refreshShownKind()
{
    const rom::ResourceKind kind = kKindButtons[shownKind_].kind;
    for (std::size_t n = 0; n < itemBoxes_.size(); ++n)
        itemBoxes_[n]->setChecked(flags_.isSelected(kind, n));
}

void ExtractDialog::save()
{
    storeShownKind();
    accept();
}

}  // namespace transplant
