// The main window's tool bar, main menu and the table's column menu: the controls, their
// names and captions, and the commands they are bound to.
#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

#include "ui/common/busy_controls.h"
#include "ui/common/icons.h"
#include "ui/common/qt_report_view.h"
#include "ui/viewer/main_window.h"
#include "viewer/tag_viewer.h"

namespace ambrel::ui {

namespace {

// The fields of the two selection drop-down menus, in menu order.
struct SelectItem {
    const char* caption;
    ambrel::SelectField field;
};
const SelectItem kSelectItems[] = {
    {"Artist", ambrel::SelectField::kArtist}, {"Song title", ambrel::SelectField::kTitle},
    {"Album", ambrel::SelectField::kAlbum},   {"Comment", ambrel::SelectField::kComment},
    {"Track", ambrel::SelectField::kTrack},   {"Year", ambrel::SelectField::kYear},
    {"Genre", ambrel::SelectField::kGenre}};

QString WithoutBlanks(const char* text) {
    return QString::fromLatin1(text).remove(QLatin1Char(' '));
}

}  // namespace

QToolButton* TForm1::AddToolButton(const char* name, const QString& caption, const QString& hint,
                                   Picture picture) {
    auto* button = new QToolButton(tool_bar_);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    // The hint is kept as the status tip; only "Save tag" shows it as a tooltip.
    button->setStatusTip(hint);
    button->setIcon(ToolPicture(picture));
    button->setIconSize(QSize(kToolPictureSize, kToolPictureSize));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    button->setMinimumSize(32, 32);
    tool_bar_->addWidget(button);
    return button;
}

void TForm1::BuildToolBar() {
    tool_bar_ = new QToolBar(this);
    tool_bar_->setObjectName(QStringLiteral("ToolBarMainWindow"));
    tool_bar_->setMovable(false);
    tool_bar_->setFloatable(false);
    tool_bar_->setIconSize(QSize(kToolPictureSize, kToolPictureSize));
    tool_bar_->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, tool_bar_);

    QToolButton* no_tag =
        AddToolButton("ToolButtonWithNoTag", QStringLiteral("Selected without tag"),
                      QStringLiteral("Select lines with no tag"), Picture::kSelectNoTag);
    QToolButton* with_tag =
        AddToolButton("ToolButtonWithTag", QStringLiteral("Select with tag"),
                      QStringLiteral("Select lines with tag"), Picture::kSelectWithTag);
    // The two drop-down buttons wear the greyed (indeterminate) look; they stay usable.
    for (QToolButton* button : {no_tag, with_tag}) {
        QStyleOption option;
        option.initFrom(button);
        const QPixmap normal = button->icon().pixmap(kToolPictureSize, kToolPictureSize);
        button->setIcon(QIcon(style()->generatedIconPixmap(QIcon::Disabled, normal, &option)));
    }
    no_tag->setPopupMode(QToolButton::MenuButtonPopup);
    no_tag->setMenu(BuildSelectMenu("PopupMenuNoTag", "Selectwithno", "Select with no ",
                                    ambrel::SelectTest::kEmpty));
    with_tag->setPopupMode(QToolButton::MenuButtonPopup);
    with_tag->setMenu(BuildSelectMenu("PopupMenuWithTag", "Selectwithfilled", "Select with filled ",
                                      ambrel::SelectTest::kFilled));
    Bind(no_tag, &QToolButton::clicked, [this] { SelectRowsBy({ambrel::SelectTest::kNoTag}); });
    Bind(with_tag, &QToolButton::clicked, [this] { SelectRowsBy({ambrel::SelectTest::kWithTag}); });
    QToolButton* select_all =
        AddToolButton("ToolButtonSelectAll", QStringLiteral("Select all"),
                      QStringLiteral("Select all tags in viewer window"), Picture::kSelectAll);
    Bind(select_all, &QToolButton::clicked, [this] { SelectAll(); });
    tool_bar_->addSeparator();

    QToolButton* del_selected = AddToolButton(
        "ToolButtonDelSelected", QStringLiteral("Remove selected"),
        QStringLiteral("Remove selected tags from tag viewer"), Picture::kRemoveSelected);
    Bind(del_selected, &QToolButton::clicked, [this] { RemoveSelectedLines(); });
    busy_controls_->Add(del_selected);
    QToolButton* del_all =
        AddToolButton("ToolButtonDelAll", QStringLiteral("Remove selected"),
                      QStringLiteral("Remove all tags from tag viewer"), Picture::kRemoveAll);
    Bind(del_all, &QToolButton::clicked, [this] { RemoveAllLines(); });
    busy_controls_->Add(del_all);
    tool_bar_->addSeparator();

    QToolButton* save_current =
        AddToolButton("ToolButtonSaveCurrent", QStringLiteral("Save tag"),
                      QStringLiteral("Save currently selected tag"), Picture::kSave);
    save_current->setToolTip(save_current->statusTip());
    Bind(save_current, &QToolButton::clicked, [this] { SaveCurrentTag(); });
    busy_controls_->Add(save_current);
    QToolButton* save_all =
        AddToolButton("ToolButtonSaveAll", QStringLiteral("Save all tags"),
                      QStringLiteral("Save changes in all changed tags "), Picture::kSaveAll);
    Bind(save_all, &QToolButton::clicked, [this] { SaveAllTags(); });
    busy_controls_->Add(save_all);
    tool_bar_->addSeparator();

    QToolButton* refresh =
        AddToolButton("ToolButtonRefresh", QStringLiteral("ToolButtonRefresh"),
                      QStringLiteral("Refresh all loaded tags"), Picture::kRefresh);
    Bind(refresh, &QToolButton::clicked, [this] { RedrawAllLines(); });
    QToolButton* apply_filter = AddToolButton(
        "ToolButtonApplyFilter", QStringLiteral("Filter sound files"),
        QStringLiteral("Use filter to show only filtered sound files"), Picture::kFilter);
    Bind(apply_filter, &QToolButton::clicked, [this] { ApplyFilter(); });
}

QMenu* TForm1::BuildSelectMenu(const char* name, const char* prefix, const char* caption_prefix,
                               ambrel::SelectTest test) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QLatin1String(name));
    for (const SelectItem& field : kSelectItems) {
        QAction* item =
            menu->addAction(QLatin1String(caption_prefix) + QLatin1String(field.caption));
        item->setObjectName(QLatin1String(prefix) + WithoutBlanks(field.caption) +
                            QLatin1Char('1'));
        const ambrel::SelectionCriterion criterion{test, field.field};
        Bind(item, &QAction::triggered, [this, criterion] { SelectRowsBy(criterion); });
    }
    return menu;
}

QAction* TForm1::AddMenuItem(QMenu* menu, const char* name, const QString& caption,
                             Picture picture) {
    QAction* item = menu->addAction(MenuPicture(picture), caption);
    item->setObjectName(QLatin1String(name));
    return item;
}

void TForm1::TableShortcut(QAction* item, const QKeySequence& keys) {
    // The key is the table's: an edit box keeps Ctrl+A and Delete for its text, and no
    // other control removes lines with Delete. The menu still shows the key.
    item->setShortcut(keys);
    item->setShortcutContext(Qt::WidgetShortcut);
    list_view_tag_viewer_->addAction(item);
}

void TForm1::BuildMainMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* tabs = bar->addMenu(QStringLiteral("Tabs"));
    tabs->setObjectName(QStringLiteral("Tabs1"));
    file_viewer_item_ = tabs->addAction(QStringLiteral("File viewer visible"));
    file_viewer_item_->setObjectName(QStringLiteral("Filemanagervisible1"));
    file_viewer_item_->setStatusTip(QStringLiteral("Show left panel (File viewer)"));
    action_panel_item_ = tabs->addAction(QStringLiteral("Action panel visible"));
    action_panel_item_->setObjectName(QStringLiteral("Actionpanelvisible1"));
    action_panel_item_->setStatusTip(QStringLiteral("Show right panel (action panel)"));
    for (QAction* item : {file_viewer_item_, action_panel_item_}) {
        item->setCheckable(true);
        item->setChecked(true);
    }
    Bind(file_viewer_item_, &QAction::triggered, [this] { ToggleFileViewer(); });
    Bind(action_panel_item_, &QAction::triggered, [this] { ToggleActionPanel(); });

    QMenu* main = bar->addMenu(QStringLiteral("Main window"));
    main->setObjectName(QStringLiteral("Mainwindow1"));
    QAction* item = AddMenuItem(main, "Selectlineswithnotag1",
                                QStringLiteral("Select lines with no tag"), Picture::kSelectNoTag);
    Bind(item, &QAction::triggered, [this] { SelectRowsBy({ambrel::SelectTest::kNoTag}); });
    item = AddMenuItem(main, "Selectlineswithtag1", QStringLiteral("Select lines with tag"),
                       Picture::kSelectWithTag);
    Bind(item, &QAction::triggered, [this] { SelectRowsBy({ambrel::SelectTest::kWithTag}); });
    item = AddMenuItem(main, "Selectalllines1", QStringLiteral("Select all lines"),
                       Picture::kSelectAll);
    TableShortcut(item, QKeySequence::SelectAll);
    Bind(item, &QAction::triggered, [this] { SelectAll(); });
    main->addSeparator();
    item = AddMenuItem(main, "Deletetagsonselectedlines1",
                       QStringLiteral("Delete tags on selected lines"), Picture::kRemoveSelected);
    TableShortcut(item, QKeySequence::Delete);
    Bind(item, &QAction::triggered, [this] { RemoveSelectedLines(); });
    busy_controls_->Add(item);
    item =
        AddMenuItem(main, "Deletealltags1", QStringLiteral("Delete all tags"), Picture::kRemoveAll);
    Bind(item, &QAction::triggered, [this] { RemoveAllLines(); });
    busy_controls_->Add(item);
    main->addSeparator();
    item = AddMenuItem(main, "Savecurrentlyselectedtag1",
                       QStringLiteral("Save currently selected tag"), Picture::kSave);
    item->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Bind(item, &QAction::triggered, [this] { SaveCurrentTag(); });
    busy_controls_->Add(item);
    item = AddMenuItem(main, "Saveallchangestags1", QStringLiteral("Save all changes tags"),
                       Picture::kSaveAll);
    item->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    Bind(item, &QAction::triggered, [this] { SaveAllTags(); });
    busy_controls_->Add(item);
    main->addSeparator();
    item = AddMenuItem(main, "Refreshalllines1", QStringLiteral("Refresh all lines"),
                       Picture::kRefresh);
    Bind(item, &QAction::triggered, [this] { RedrawAllLines(); });
    item = AddMenuItem(main, "Applyfilterontaglist1", QStringLiteral("Apply filter on tag list"),
                       Picture::kFilter);
    Bind(item, &QAction::triggered, [this] { ApplyFilter(); });
    item = AddMenuItem(main, "Reloadtagsfromdisk1", QStringLiteral("Reload tags from disk"),
                       Picture::kReload);
    item->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    Bind(item, &QAction::triggered, [this] { ReloadSelectedTags(); });
    busy_controls_->Add(item);
    // The preview and the copy belong to the action panel, which the window set wires up.
    item = AddMenuItem(main, "CopyID3v2toID3v11", QStringLiteral("Copy ID3v2 to ID3v1"),
                       Picture::kCopy);
    connect(item, &QAction::triggered, this, &TForm1::id3v2CopyRequested);
    busy_controls_->Add(item);
    main->addSeparator();
    item = AddMenuItem(main, "ExporttableasCSV1", QStringLiteral("Export table as CSV\u2026"),
                       Picture::kExport);
    Bind(item, &QAction::triggered, [this] { ExportTableAsCsv(); });
    main->addSeparator();
    // The captions follow the history (UpdateHistoryItems): "Undo rename of 120 files".
    undo_item_ = AddMenuItem(main, "Undo1", QStringLiteral("Undo"), Picture::kUndo);
    undo_item_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Bind(undo_item_, &QAction::triggered, [this] { UndoLastBatch(); });
    redo_item_ = AddMenuItem(main, "Redo1", QStringLiteral("Redo"), Picture::kRedo);
    redo_item_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    Bind(redo_item_, &QAction::triggered, [this] { RedoLastBatch(); });
    main->addSeparator();
    item = AddMenuItem(main, "Quit1", QStringLiteral("Quit"), Picture::kQuit);
    item->setShortcut(QKeySequence::Quit);
    Bind(item, &QAction::triggered, [this] { close(); });

    QMenu* about = bar->addMenu(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("About1"));
    item = AddMenuItem(about, "Checknewversion1", QStringLiteral("Check new version"),
                       Picture::kCheckVersion);
    Bind(item, &QAction::triggered, [this] {
        if (!version_check_) return;
        version_check_->exec();
        // The dialog started an installer: the program makes way for it.
        if (close_after_update_) close();
    });
    item = AddMenuItem(about, "About2", QStringLiteral("About"), Picture::kAbout);
    Bind(item, &QAction::triggered, [this] {
        if (about_) about_->exec();
    });
}

void TForm1::BuildColumnMenu() {
    popup_menu_tag_viewer_ = new QMenu(this);
    popup_menu_tag_viewer_->setObjectName(QStringLiteral("PopupMenuTagViewer"));
    // Every column but Index, under its caption of the initial layout ("Song name").
    for (int number = TTagViewer::kDirectory; number < TTagViewer::kColumnCount; ++number) {
        const char* caption = TTagViewer::LayoutCaptionOf(number);
        QAction* item = popup_menu_tag_viewer_->addAction(QLatin1String(caption));
        item->setObjectName(WithoutBlanks(caption) + QLatin1Char('1'));
        item->setCheckable(true);
        // The ID3v2 column is hidden until the user asks for it.
        item->setChecked(number != TTagViewer::kId3v2);
        // The item has already flipped its tick when triggered reports the new state.
        connect(item, &QAction::triggered, this, [this, number](bool checked) {
            Run([=] { ShowColumnFromMenu(number, checked); });
        });
    }
    for (QWidget* target : {static_cast<QWidget*>(list_view_tag_viewer_),
                            static_cast<QWidget*>(list_view_tag_viewer_->header())}) {
        target->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(target, &QWidget::customContextMenuRequested, this, [this, target](QPoint at) {
            popup_menu_tag_viewer_->popup(target->mapToGlobal(at));
        });
    }
}

}  // namespace ambrel::ui
