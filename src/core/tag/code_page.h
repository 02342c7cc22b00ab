#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ambrel {

// The 8-bit code pages an ID3v1 text field can be read and written in. The block carries
// no mark of its code page, so the user picks one; Latin-1 is the default.
enum class CodePage {
    kLatin1,  // ISO-8859-1
    kWindows1252,
    kWindows1250,
    kWindows1251,
    kIso8859_2,
    kIso8859_5,
    kIso8859_7,
    kKoi8R,
    // The code set of the system's locale when it is a single-byte one; any other (UTF-8
    // above all) reads and writes Latin-1, since an ID3v1 field is single-byte text of
    // fixed width that a multi-byte character would be cut through.
    kSystemLocale,
};

struct CodePageName {
    CodePage page;
    // Stable: the stored setting and the command line's --encoding value.
    std::string_view id;
    std::string_view caption;
};

// Every code page, the default first.
const std::vector<CodePageName>& CodePageNames();
std::string_view CodePageId(CodePage page);
// A page by its id or a common alias ("latin1", "cp1251", "koi8r", "system"), with letter
// case, '-', '_' and spaces disregarded; none for any other name.
std::optional<CodePage> ParseCodePage(std::string_view name);

// The code set of the locale the environment names (LC_ALL, LC_CTYPE, LANG), as iconv knows
// it: "UTF-8", "KOI8-R", "ANSI_X3.4-1968" for the C locale. The program's own locale is
// neither read nor changed.
std::string SystemCodeset();

// Turns the bytes of ID3v1 text fields into UTF-8 and back in one code page. A page's table
// is made from iconv once per process, then only read: converters are cheap to copy and may
// be used on any thread. Latin-1 is converted directly, without a table.
class CodePageConverter {
public:
    explicit CodePageConverter(CodePage page = CodePage::kLatin1);
    // For a code set by its iconv name: a single-byte code set gets its own table; any
    // other (UTF-8, a multi-byte or stateful set, a name iconv does not know) is Latin-1.
    static CodePageConverter ForCodeset(const std::string& codeset);

    // The page the program's ID3v1 fields are read and written in (TTagFile's getters and
    // setters): one for the whole program, as one library is open at a time and all its
    // windows and the command line show it alike (its --encoding NAME is ParseCodePage, then
    // SetCurrent). Latin-1 until set. Set on one thread while the fields are not in use
    // there; read on any thread.
    static void SetCurrent(CodePage page);
    static CodePage CurrentPage();
    static CodePageConverter Current();

    // The iconv name of the code set in use ("ISO-8859-1" for Latin-1).
    std::string_view Codeset() const;

    // Every byte becomes one character. A byte that has no character in the page becomes
    // the Latin-1 character of the same value (a control character for most of them), so
    // that Encode gives the byte back: any field survives a read and a write unchanged.
    std::string Decode(std::string_view bytes) const;
    // One byte per character, so a width cut counts the field's bytes. A character the page
    // cannot hold becomes '?'; a byte that is not part of well-formed UTF-8 is taken as the
    // Latin-1 character it is.
    std::string Encode(std::string_view utf8) const;

    struct Table;

private:
    explicit CodePageConverter(const Table* table) : table_(table) {}
    const Table* table_ = nullptr;  // none: Latin-1
};

}  // namespace ambrel
