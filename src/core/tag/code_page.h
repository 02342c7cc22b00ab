#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ambrel {

// The code pages an ID3v1 text field can be read and written in: 8-bit ones, and the
// double-byte ones of East Asia, whose characters are one byte or two. The block carries
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
    kShiftJis,  // CP932
    kGbk,       // CP936
    kBig5,      // CP950
    kEucKr,     // CP949, EUC-KR with the unified Hangul extension
    // The code set of the system's locale when it is a single-byte or double-byte one; any
    // other (UTF-8 above all) reads and writes Latin-1, since an ID3v1 field is text of
    // fixed width in a code page without a state.
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
// A page by its id or a common alias ("latin1", "cp1251", "koi8r", "shift_jis", "sjis",
// "gbk", "big5", "euc-kr", "system"), with letter
// case, '-', '_' and spaces disregarded; none for any other name.
std::optional<CodePage> ParseCodePage(std::string_view name);

// The code set of the locale the environment names (LC_ALL, LC_CTYPE, LANG), as iconv knows
// it: "UTF-8", "KOI8-R", "ANSI_X3.4-1968" for the C locale. The program's own locale is
// neither read nor changed.
std::string SystemCodeset();

// A text as the bytes of a field of fixed width.
struct EncodedField {
    std::string bytes;
    bool cut = false;    // the text was longer than the field
    bool lossy = false;  // a character the page cannot hold was replaced
};

// Turns the bytes of ID3v1 text fields into UTF-8 and back in one code page. A page's table
// is made from iconv once per process, then only read: converters are cheap to copy and may
// be used on any thread. Latin-1 is converted directly, without a table.
class CodePageConverter {
public:
    explicit CodePageConverter(CodePage page = CodePage::kLatin1);
    // For a code set by its iconv name: a single-byte or double-byte code set gets its own
    // table; any other (UTF-8, EUC-JP, a stateful set, a name iconv does not know) is Latin-1.
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

    // Whether a character may take two bytes.
    bool IsDoubleByte() const;

    // A byte that is not part of a character of the page becomes the Latin-1 character of
    // the same value (a control character for most of them), so that Encode gives the byte
    // back: a field of a single-byte page survives a read and a write unchanged, and one of
    // a double-byte page too unless it holds a character in a second form (CP932's NEC and
    // IBM rows), which is written back in the form other programs write.
    std::string Decode(std::string_view bytes) const;
    // A character the page cannot hold becomes '?'; a byte that is not part of well-formed
    // UTF-8 is taken as the Latin-1 character it is.
    std::string Encode(std::string_view utf8) const;
    // The length of the longest start of bytes (text of this page) of at most width bytes
    // that does not end inside a two-byte character: every cut to a field's width.
    std::size_t FitBytes(std::string_view bytes, std::size_t width) const;
    // utf8 for a field of width bytes: a character the page cannot hold is transliterated
    // (iconv //TRANSLIT in the C.UTF-8 locale, so alike in every environment) where a
    // transliteration exists, else '?' (lossy either way), then cut at a character
    // boundary to width (cut). Calls iconv for such characters: not for hot paths.
    EncodedField EncodeForField(std::string_view utf8, std::size_t width) const;
    // The length of the longest start of utf8 whose encoding fits a field of width bytes,
    // ending between two characters: what an editor of the field may hold.
    std::size_t FitText(std::string_view utf8, std::size_t width) const;

    struct Table;

private:
    explicit CodePageConverter(const Table* table) : table_(table) {}
    // Appends the bytes of c; false, with nothing appended, when the page has no character
    // for it (the Latin-1 reading of a byte that is no character does not count).
    bool AppendCharacter(char32_t c, std::string* out) const;
    const Table* table_ = nullptr;  // none: Latin-1
};

}  // namespace ambrel
