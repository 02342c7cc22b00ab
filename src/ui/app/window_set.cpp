#include "ui/app/window_set.h"

#include <QObject>

#include "ui/actions/form3.h"
#include "ui/files/form2.h"
#include "ui/files/form4.h"
#include "ui/update/about_box.h"
#include "ui/update/form5.h"
#include "ui/viewer/form1.h"

namespace ambrel::ui {

namespace {
WindowSet* current = nullptr;
}

WindowSet::WindowSet() {
    // The main window comes first: its constructor creates the model the others use.
    form1_ = std::make_unique<TForm1>();
    form2_ = std::make_unique<TForm2>();
    form3_ = std::make_unique<TForm3>();
    form4_ = std::make_unique<TForm4>();
    form5_ = std::make_unique<TForm5>();
    about_box_ = std::make_unique<TAboutBox>();
    Wire();
    current = this;
}

WindowSet::~WindowSet() {
    current = nullptr;
    // The main window goes last, so the others can still reach the model while they go.
    about_box_.reset();
    form5_.reset();
    form4_.reset();
    form3_.reset();
    form2_.reset();
    form1_.reset();
}

WindowSet* WindowSet::Current() { return current; }

void WindowSet::Wire() {
    form1_->SetSideWindows(form2_.get(), form3_.get());
    form2_->SetMainWindow(form1_.get());
    form1_->SetDialogs(form5_.get(), about_box_.get());
    QObject::connect(form2_.get(), &TForm2::closed, form1_.get(), &TForm1::FileViewerClosed);
    QObject::connect(form3_.get(), &TForm3::closed, form1_.get(), &TForm1::ActionPanelClosed);
    QObject::connect(form1_.get(), &TForm1::tagsSaved, form2_.get(), &TForm2::AfterTagsSaved);
}

void WindowSet::Show() { form1_->show(); }

}  // namespace ambrel::ui
