#pragma once

#include <QValidator>
#include <cstddef>

namespace ambrel::ui {

// Keeps an edit box to what an ID3v1 field of width bytes holds in the program's code page:
// a text that would not fit is cut between two characters, so a double-byte character
// that would end past the field's last byte never goes in half.
class FieldWidthValidator : public QValidator {
public:
    FieldWidthValidator(std::size_t width, QObject* parent) : QValidator(parent), width_(width) {}

    State validate(QString& input, int& pos) const override;

private:
    std::size_t width_;
};

}  // namespace ambrel::ui
