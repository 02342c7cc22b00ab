#include "ui/common/app_settings.h"

#include <QSettings>
#include <optional>
#include <string>

#include "tag/code_page.h"

namespace ambrel::ui::settings {

namespace {

// The code page is stored by its id, which stays the same between versions.
constexpr char kCodePageKey[] = "ID3v1TextEncoding";

QSettings Open() { return QSettings(QStringLiteral("Pendrake"), QStringLiteral("Ambrel")); }

}  // namespace

ambrel::CodePage StoredCodePage() {
    const std::string id = Open().value(QLatin1String(kCodePageKey)).toString().toStdString();
    return ambrel::ParseCodePage(id).value_or(ambrel::CodePage::kLatin1);
}

void StoreCodePage(ambrel::CodePage page) {
    const std::string_view id = ambrel::CodePageId(page);
    Open().setValue(QLatin1String(kCodePageKey),
                    QString::fromLatin1(id.data(), static_cast<qsizetype>(id.size())));
}

}  // namespace ambrel::ui::settings
