// The file viewer's "Settings" page: the boxes that the lists and the load, delete, copy and
// move commands read, and the ID3v1 text encoding, which the library takes at once and the
// next run finds again.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLayout>
#include <QVBoxLayout>

#include "files/directory_browser.h"
#include "files/file_viewer.h"
#include "library/library.h"
#include "tag/code_page.h"
#include "ui/common/app_settings.h"
#include "ui/common/qt_text.h"
#include "ui/common/wrapping_check_box.h"
#include "ui/files/file_viewer_pages.h"

namespace ambrel::ui {

namespace {

// A settings box; its caption wraps where the narrow window is too small for one line.
QCheckBox* AddCheckBox(QLayout* layout, const QString& name, const QString& caption, bool checked) {
    auto* box = new WrappingCheckBox(caption);
    box->setObjectName(name);
    box->setChecked(checked);
    layout->addWidget(box);
    return box;
}

QGroupBox* AddGroup(QWidget* page, const QString& name, const QString& caption) {
    auto* group = new QGroupBox(caption, page);
    group->setObjectName(name);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(4, 2, 2, 2);
    page->layout()->addWidget(group);
    return group;
}

}  // namespace

QWidget* FileViewerPages::BuildSettingsPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetSettings"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 4, 2, 4);

    QLayout* viewer_layout =
        AddGroup(page, QStringLiteral("GroupBoxFileViewer"), QStringLiteral("File viewer"))
            ->layout();
    check_box_viewer_hidden_ =
        AddCheckBox(viewer_layout, QStringLiteral("CheckBoxViewerHidden"),
                    QStringLiteral("Show hidden files in file viewer"), true);
    check_box_viewer_icons_ = AddCheckBox(viewer_layout, QStringLiteral("CheckBoxViewerIcons"),
                                          QStringLiteral("Show icons in file viewer"), true);
    check_box_tag_status_ = AddCheckBox(viewer_layout, QStringLiteral("CheckBoxTagStatus"),
                                        QStringLiteral("Show if tag is present in file"), true);
    connect(check_box_viewer_hidden_, &QCheckBox::clicked, this,
            &FileViewerPages::CheckBoxViewerHiddenClick);
    connect(check_box_viewer_icons_, &QCheckBox::clicked, this,
            &FileViewerPages::CheckBoxViewerIconsClick);
    connect(check_box_tag_status_, &QCheckBox::clicked, this,
            &FileViewerPages::CheckBoxTagStatusClick);

    // Read at each load; clicking it does nothing by itself.
    check_box_load_subdirs_ = AddCheckBox(
        AddGroup(page, QStringLiteral("GroupBoxLoadTagFiles"), QStringLiteral("Load tag files"))
            ->layout(),
        QStringLiteral("CheckBoxLoadSubdirs"), QStringLiteral("Load tags also from subdirectories"),
        true);
    BuildDeleteOptions(page);
    BuildCopyMoveOptions(page);
    BuildEncodingGroup(page);
    layout->addStretch(1);
    return page;
}

// Read when a delete starts.
void FileViewerPages::BuildDeleteOptions(QWidget* page) {
    QLayout* layout =
        AddGroup(page, QStringLiteral("GroupBoxDeleteOptions"), QStringLiteral("Delete options"))
            ->layout();
    check_box_delete_subdirs_ =
        AddCheckBox(layout, QStringLiteral("CheckBoxDeleteSubdirs"),
                    QStringLiteral("Delete files from subdirectories"), true);
    check_box_delete_filtered_ =
        AddCheckBox(layout, QStringLiteral("CheckBoxDeleteFiltered"),
                    QStringLiteral("Delete only files with extensions in filter"), false);
    check_box_delete_only_files_ =
        AddCheckBox(layout, QStringLiteral("CheckBoxDeleteOnlyFiles"),
                    QStringLiteral("Delete only files, keep directories"), false);
    check_box_ask_before_delete_ = AddCheckBox(layout, QStringLiteral("CheckBoxAskBeforeDelete"),
                                               QStringLiteral("Ask before deleting"), true);
}

// Set in the model when clicked, and read again when a copy or move starts.
void FileViewerPages::BuildCopyMoveOptions(QWidget* page) {
    QLayout* layout = AddGroup(page, QStringLiteral("GroupBoxCopyMoveOptions"),
                               QStringLiteral("Copy/Move options"))
                          ->layout();
    check_box_overwrite_files_ =
        AddCheckBox(layout, QStringLiteral("CheckBoxOverwriteFiles"),
                    QStringLiteral("Overwrite destination files without asking"), false);
    check_box_overwrite_dialog_ = AddCheckBox(layout, QStringLiteral("CheckBoxOverwriteDialog"),
                                              QStringLiteral("Show overwrite dialog"), true);
    check_box_overwrite_dialog_->setToolTip(
        QStringLiteral("Show dialog if you unselect destination file overwriting"));
    // Followed also when a box is set without a click, so the greying never goes stale.
    connect(check_box_overwrite_files_, &QCheckBox::toggled, this,
            &FileViewerPages::CheckBoxOverwriteFilesClick);
    connect(check_box_overwrite_dialog_, &QCheckBox::toggled, this,
            &FileViewerPages::CheckBoxOverwriteDialogClick);
}

void FileViewerPages::BuildEncodingGroup(QWidget* page) {
    QGroupBox* group = AddGroup(page, QStringLiteral("GroupBoxTextEncoding"),
                                QStringLiteral("ID3v1 text encoding"));
    combo_box_text_encoding_ = new QComboBox(group);
    combo_box_text_encoding_->setObjectName(QStringLiteral("ComboBoxTextEncoding"));
    // The longest caption must not widen the narrow window.
    combo_box_text_encoding_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo_box_text_encoding_->setMinimumContentsLength(12);
    for (const ambrel::CodePageName& name : ambrel::CodePageNames())
        combo_box_text_encoding_->addItem(ToQ(name.caption));
    connect(combo_box_text_encoding_, &QComboBox::activated, this,
            &FileViewerPages::ComboBoxTextEncodingChange);
    group->layout()->addWidget(combo_box_text_encoding_);
}

void FileViewerPages::UseStoredCodePage() {
    const ambrel::CodePage page = settings::StoredCodePage();
    const auto& names = ambrel::CodePageNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i].page == page) combo_box_text_encoding_->setCurrentIndex(static_cast<int>(i));
    library_.SetCodePage(page);
}

void FileViewerPages::ComboBoxTextEncodingChange(int index) {
    const auto& names = ambrel::CodePageNames();
    if (index < 0 || static_cast<std::size_t>(index) >= names.size()) return;
    library_.SetCodePage(names[index].page);
    settings::StoreCodePage(names[index].page);
    emit codePageChanged();
}

void FileViewerPages::CheckBoxViewerHiddenClick(bool checked) {
    Browser().SetShowHidden(checked);
    ToolButtonFolderRefreshClick();
}

void FileViewerPages::CheckBoxViewerIconsClick(bool checked) {
    Browser().SetShowIcons(checked);
    ToolButtonFolderRefreshClick();
}

void FileViewerPages::CheckBoxTagStatusClick(bool checked) {
    Browser().SetShowTagStatus(checked);
    Browser().RefreshFiles();
    FollowSelection();
}

}  // namespace ambrel::ui
