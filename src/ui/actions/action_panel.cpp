#include "ui/actions/action_panel.h"

#include <QCloseEvent>
#include <QProxyStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/actions/copy_options_page.h"
#include "ui/actions/rename_pages.h"
#include "ui/common/busy_controls.h"
#include "ui/common/command_guard.h"

namespace ambrel::ui {

namespace {

// Tabs with narrower room beside their captions than the style's own, so that the three
// captions stand whole side by side in the 289-pixel window.
class CompactTabStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace) return 14;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

TForm3::TForm3(ambrel::Library& library, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Action panel"));
    // Closing a side window never ends the program; only the main window does.
    setAttribute(Qt::WA_QuitOnClose, false);

    page_control_1_ = new QTabWidget(this);
    page_control_1_->setObjectName(QStringLiteral("PageControl1"));
    // The three tab captions stand whole, side by side.
    QTabBar* tabs = page_control_1_->tabBar();
    auto* tab_style = new CompactTabStyle;
    tab_style->setParent(tabs);
    tabs->setStyle(tab_style);
    tabs->setElideMode(Qt::ElideNone);
    tabs->setUsesScrollButtons(false);
    file_rename_ = new FileRenamePage(library, page_control_1_);
    tag_rename_ = new TagRenamePage(library, page_control_1_);
    copy_options_ = new CopyOptionsPage(library, page_control_1_);
    page_control_1_->addTab(file_rename_, QStringLiteral("File rename"));
    page_control_1_->addTab(tag_rename_, QStringLiteral("Tag rename"));
    page_control_1_->addTab(copy_options_, QStringLiteral("Copy options"));
    page_control_1_->setCurrentWidget(tag_rename_);
    // The three runs change entries whose rows a finishing load makes again, and files it may
    // still be reading; a preview's "Apply" is a run.
    auto* busy_controls = new BusyControls(library, this);
    for (QWidget* button : {file_rename_->RunButton(), file_rename_->PreviewButton(),
                            tag_rename_->RunButton(), tag_rename_->PreviewButton(),
                            copy_options_->WriteButton(), copy_options_->CopyId3v2Button()})
        busy_controls->Add(button);
    connect(tag_rename_, &TagRenamePage::tagDetailRequested, this, &TForm3::tagDetailRequested);
    connect(copy_options_, &CopyOptionsPage::tagDetailRequested, this, &TForm3::tagDetailRequested);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page_control_1_);
    FillTemplateLists();
    resize(289, 593);
}

void TForm3::CopyId3v2ToId3v1() {
    Guard([this] { copy_options_->CopyId3v2ToId3v1(); });
}

void TForm3::FillTemplateLists() {
    tag_rename_->FillTagTemplates();
    file_rename_->FillFileTemplates();
}

void TForm3::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

}  // namespace ambrel::ui
