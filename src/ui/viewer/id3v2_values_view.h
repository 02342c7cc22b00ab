#pragma once

#include <cstdint>
#include <string>

class QLabel;
class QLineEdit;
class QWidget;

namespace ambrel {
class TTagFile;
}  // namespace ambrel

namespace ambrel::ui {

// The tag detail panel's read-only line of the shown entry's ID3v2 values: "ID3v2.4" and
// "Title: … · Artist: … · …" (each value on a line of its own in the tool tip), or why the
// file has none ("no ID3v2 tag"). The tag is read from the file when another entry, or the
// same entry under another path, is shown; showing the same one again reads nothing.
class Id3v2ValuesView {
public:
    // The label and the box go where the panel lays them out.
    explicit Id3v2ValuesView(QWidget* parent);

    QLabel* Label() const { return label_; }
    QLineEdit* Box() const { return box_; }

    // Shows the values of the entry's file; none empties the line.
    void Show(const ambrel::TTagFile* entry);

private:
    void ShowFile(const std::string& path);

    QLabel* label_ = nullptr;
    QLineEdit* box_ = nullptr;
    uint64_t shown_serial_ = 0;
    std::string shown_path_;
    bool shown_ = false;
};

}  // namespace ambrel::ui
