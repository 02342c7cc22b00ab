#pragma once

namespace ambrel {
enum class CodePage;
}

// The settings the program keeps between runs, in the user's configuration (QSettings of
// the organisation "Pendrake" and the application "Ambrel").
namespace ambrel::ui::settings {

// The ID3v1 text encoding chosen last; Latin-1 when none was, or one this program does not
// know.
ambrel::CodePage StoredCodePage();
void StoreCodePage(ambrel::CodePage page);

}  // namespace ambrel::ui::settings
