#include "ui/viewer/field_width_validator.h"

#include <algorithm>
#include <string>

#include "tag/code_page.h"
#include "ui/common/qt_text.h"

namespace ambrel::ui {

QValidator::State FieldWidthValidator::validate(QString& input, int& pos) const {
    const std::string utf8 = FromQ(input);
    const std::size_t fit = CodePageConverter::Current().FitText(utf8, width_);
    if (fit < utf8.size()) {
        input = ToQ(std::string_view(utf8).substr(0, fit));
        pos = std::min(pos, static_cast<int>(input.size()));
    }
    return Acceptable;
}

}  // namespace ambrel::ui
