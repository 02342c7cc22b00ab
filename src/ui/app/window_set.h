#pragma once

#include <memory>

namespace ambrel::ui {

class TAboutBox;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;

// The program's six windows, created in their fixed order and living for the whole
// run. The one program-wide reference to each window is here (Current()).
class WindowSet {
public:
    WindowSet();
    ~WindowSet();
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    // The window set of the running program; nullptr before and after it.
    static WindowSet* Current();

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

    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;
    std::unique_ptr<TForm5> form5_;
    std::unique_ptr<TAboutBox> about_box_;
};

}  // namespace ambrel::ui
