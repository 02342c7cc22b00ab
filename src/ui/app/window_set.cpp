#include "ui/app/window_set.h"

#include <QObject>

#include "files/file_loader.h"
#include "library/library.h"
#include "platform/paths.h"
#include "ui/actions/action_panel.h"
#include "ui/common/qt_prompter.h"
#include "ui/files/file_viewer_pages.h"
#include "ui/files/file_viewer_window.h"
#include "ui/files/process_dialog.h"
#include "ui/update/about_box.h"
#include "ui/update/version_dialog.h"
#include "ui/viewer/main_window.h"

namespace ambrel::ui {

WindowSet::WindowSet(ambrel::Prompter* prompter, const std::vector<std::string>& start_paths)
    : own_prompter_(prompter ? nullptr : std::make_unique<QtPrompter>()),
      prompter_(prompter ? prompter : own_prompter_.get()),
      library_(std::make_unique<ambrel::Library>(prompter_)) {
    std::vector<std::string> paths;
    for (const std::string& path : start_paths) paths.push_back(ambrel::paths::Absolute(path));
    const std::string folder = ambrel::FirstFolder(paths);
    // The main window comes first: its construction fills the library the others use.
    form1_ = std::make_unique<TForm1>(*library_, *prompter_);
    form2_ = folder.empty() ? std::make_unique<TForm2>(*library_, *prompter_)
                            : std::make_unique<TForm2>(*library_, *prompter_, folder);
    form3_ = std::make_unique<TForm3>(*library_);
    form4_ = std::make_unique<TForm4>();
    form5_ = std::make_unique<TForm5>(*prompter_);
    about_box_ = std::make_unique<TAboutBox>();
    Wire();
    // In the background like every load: the windows come up while it runs, and its
    // failures are told once it is applied.
    if (!paths.empty())
        library_->StartLoad(ambrel::LoadKind::kNamedPaths,
                            ambrel::NamedPathsLoad(std::move(paths)));
}

// The windows go in the reverse order of their making, then the library.
WindowSet::~WindowSet() {
    about_box_.reset();
    form5_.reset();
    form4_.reset();
    form3_.reset();
    form2_.reset();
    form1_.reset();
}

void WindowSet::Wire() {
    form1_->SetSideWindows(form2_.get(), form3_.get());
    form1_->SetDialogs(form5_.get(), about_box_.get());
    form2_->SetProcessDialog(form4_.get());
    about_box_->SetVersionDialog(form5_.get());
    QObject::connect(form2_.get(), &TForm2::closed, form1_.get(), &TForm1::FileViewerClosed);
    QObject::connect(form3_.get(), &TForm3::closed, form1_.get(), &TForm1::ActionPanelClosed);
    QObject::connect(form3_.get(), &TForm3::tagDetailRequested, form1_.get(),
                     &TForm1::ShowTagDetail);
    QObject::connect(form1_.get(), &TForm1::id3v2CopyRequested, form3_.get(),
                     &TForm3::CopyId3v2ToId3v1);
    QObject::connect(form1_.get(), &TForm1::tagsSaved, form2_.get(), &TForm2::AfterTagsSaved);
    QObject::connect(form5_.get(), &TForm5::installerStarted, form1_.get(),
                     [form1 = form1_.get()] { form1->SetCloseAfterUpdate(true); });
    QObject::connect(form2_.get(), &TForm2::codePageChanged, form1_.get(),
                     &TForm1::CodePageChanged);
    QObject::connect(form1_.get(), &TForm1::filesChanged, form2_.get(),
                     [this] { form2_->Pages()->ToolButtonFolderRefreshClick(); });
}

void WindowSet::Show() { form1_->show(); }

}  // namespace ambrel::ui
