#pragma once

#include <memory>
#include <string>
#include <vector>

namespace ambrel {
class Library;
class Prompter;
}  // namespace ambrel

namespace ambrel::ui {

class TAboutBox;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;

// The program's data and its six windows, created in their fixed order and living for the
// whole run. The window set makes the one Library and hands it to the windows that work on
// it, and the one prompter every window and the data speak through.
class WindowSet {
public:
    // The windows' messages and questions go through prompter (not owned; it must outlive
    // the window set), or through Qt's message boxes when none is given. The files and
    // folders of start_paths (the command line's, as the system gives their bytes) are loaded
    // into the table in the background (NamedPathsLoad), and the file viewer opens on the
    // first folder among them (for a file, its folder). Once that load is applied, one
    // warning names the paths it could not take.
    explicit WindowSet(ambrel::Prompter* prompter = nullptr,
                       const std::vector<std::string>& start_paths = {});
    ~WindowSet();
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    ambrel::Library& GetLibrary() const { return *library_; }
    TForm1* Form1() const { return form1_.get(); }
    TForm2* Form2() const { return form2_.get(); }
    TForm3* Form3() const { return form3_.get(); }
    TForm4* Form4() const { return form4_.get(); }
    TForm5* Form5() const { return form5_.get(); }
    TAboutBox* AboutBox() const { return about_box_.get(); }

    // Shows the main window, which places itself and the side windows.
    void Show();

private:
    void Wire();

    std::unique_ptr<ambrel::Prompter> own_prompter_;
    ambrel::Prompter* prompter_;
    // Made before the windows and destroyed after them, so no window ever sees it gone.
    std::unique_ptr<ambrel::Library> library_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;
    std::unique_ptr<TForm5> form5_;
    std::unique_ptr<TAboutBox> about_box_;
};

}  // namespace ambrel::ui
