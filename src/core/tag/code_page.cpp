#include "tag/code_page.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <utility>

#include "tag/double_byte_table.h"
#include "tag/iconv_reading.h"
#include "tag/text_helpers.h"

namespace ambrel {

namespace {

constexpr std::string_view kLatin1Codeset = "ISO-8859-1";

struct PageInfo {
    CodePageName name;
    // The iconv name; empty for the locale's, found when first used.
    std::string_view codeset;
};

const PageInfo kPages[] = {
    {{CodePage::kLatin1, "ISO-8859-1", "ISO-8859-1 (Latin-1)"}, kLatin1Codeset},
    {{CodePage::kWindows1252, "Windows-1252", "Windows-1252 (Western European)"}, "WINDOWS-1252"},
    {{CodePage::kWindows1250, "Windows-1250", "Windows-1250 (Central European)"}, "WINDOWS-1250"},
    {{CodePage::kWindows1251, "Windows-1251", "Windows-1251 (Cyrillic)"}, "WINDOWS-1251"},
    {{CodePage::kIso8859_2, "ISO-8859-2", "ISO-8859-2 (Central European)"}, "ISO-8859-2"},
    {{CodePage::kIso8859_5, "ISO-8859-5", "ISO-8859-5 (Cyrillic)"}, "ISO-8859-5"},
    {{CodePage::kIso8859_7, "ISO-8859-7", "ISO-8859-7 (Greek)"}, "ISO-8859-7"},
    {{CodePage::kKoi8R, "KOI8-R", "KOI8-R (Cyrillic)"}, "KOI8-R"},
    {{CodePage::kShiftJis, "CP932", "Japanese (Shift_JIS)"}, "CP932"},
    {{CodePage::kGbk, "CP936", "Chinese Simplified (GBK)"}, "CP936"},
    {{CodePage::kBig5, "CP950", "Chinese Traditional (Big5)"}, "CP950"},
    {{CodePage::kEucKr, "CP949", "Korean (EUC-KR)"}, "CP949"},
    {{CodePage::kSystemLocale, "locale", "System locale"}, ""},
};

// The page of the program's fields and its table (none for Latin-1).
std::atomic<CodePage> current_page{CodePage::kLatin1};
std::atomic<const CodePageConverter::Table*> current_table{nullptr};

const PageInfo& InfoOf(CodePage page) {
    for (const PageInfo& info : kPages) {
        if (info.name.page == page) return info;
    }
    return kPages[0];
}

// Lower case without '-', '_' and spaces: "Windows-1251" and "windows_1251" are one name.
std::string Folded(std::string_view name) {
    std::string folded;
    for (char c : name) {
        if (c == '-' || c == '_' || c == ' ') continue;
        folded += AsciiToLower(c);
    }
    return folded;
}

}  // namespace

// A single-byte code page: each byte's character, its UTF-8 bytes, and the way back; or a
// double-byte one, whose own table does the work.
struct CodePageConverter::Table {
    std::string codeset;
    std::unique_ptr<DoubleByteTable> double_byte;
    std::array<char32_t, 256> character{};
    // Whether the byte is a character of the page, not one read as its Latin-1 character.
    std::array<bool, 256> is_character{};
    std::array<std::array<char, 4>, 256> utf8{};
    std::array<uint8_t, 256> utf8_length{};
    // The most UTF-8 bytes a byte of the page turns into.
    std::size_t longest = 1;
    // Every character of the page with its byte, by character; the ones below U+0500
    // (Latin, Greek, Cyrillic) also directly, -1 for a character the page lacks.
    std::vector<std::pair<char32_t, uint8_t>> byte_of;
    std::array<int16_t, 0x500> low_byte_of{};
    char question_mark = '?';

    // Table for the code set; none when it is neither a single-byte nor a double-byte one
    // iconv knows.
    static std::unique_ptr<Table> Make(const std::string& codeset);
    static std::unique_ptr<Table> MakeSingleByte(const std::string& codeset);
    char ByteOf(char32_t c) const;
};

std::unique_ptr<CodePageConverter::Table> CodePageConverter::Table::Make(
    const std::string& codeset) {
    if (auto table = MakeSingleByte(codeset)) return table;
    auto double_byte = DoubleByteTable::Make(codeset);
    if (!double_byte) return nullptr;
    auto table = std::make_unique<Table>();
    table->codeset = codeset;
    table->double_byte = std::move(double_byte);
    return table;
}

std::unique_ptr<CodePageConverter::Table> CodePageConverter::Table::MakeSingleByte(
    const std::string& codeset) {
    const iconv_t cd = iconv_open("UTF-32LE", codeset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
    auto table = std::make_unique<Table>();
    table->codeset = codeset;
    std::array<bool, 256> has_character{};
    std::set<char32_t> taken;
    for (int byte = 0; byte < 256; ++byte) {
        char32_t c = 0;
        const auto b = static_cast<unsigned char>(byte);
        const IconvReading reading = ReadWithIconv(cd, &b, 1, &c);
        if (reading == IconvReading::kIncomplete || reading == IconvReading::kSeveral) {
            iconv_close(cd);
            return nullptr;
        }
        // A second byte for a character already taken could not be written back.
        if (reading == IconvReading::kCharacter && taken.insert(c).second) {
            table->character[byte] = c;
            has_character[byte] = true;
            table->is_character[byte] = true;
        }
    }
    iconv_close(cd);
    for (int byte = 0; byte < 256; ++byte) {
        if (has_character[byte]) continue;
        // The Latin-1 reading of the byte, or a private-use character when the page
        // already has that one.
        char32_t c = static_cast<char32_t>(byte);
        for (char32_t spare = 0xF700 + byte; !taken.insert(c).second; spare += 0x100) c = spare;
        table->character[byte] = c;
    }
    table->low_byte_of.fill(-1);
    for (int byte = 0; byte < 256; ++byte) {
        const char32_t c = table->character[byte];
        std::string bytes;
        AppendUtf8(c, &bytes);
        std::copy(bytes.begin(), bytes.end(), table->utf8[byte].begin());
        table->utf8_length[byte] = static_cast<uint8_t>(bytes.size());
        table->longest = std::max(table->longest, bytes.size());
        table->byte_of.emplace_back(c, static_cast<uint8_t>(byte));
        if (c < table->low_byte_of.size()) table->low_byte_of[c] = static_cast<int16_t>(byte);
    }
    std::sort(table->byte_of.begin(), table->byte_of.end());
    table->question_mark = table->ByteOf('?');
    return table;
}

char CodePageConverter::Table::ByteOf(char32_t c) const {
    if (c < low_byte_of.size()) {
        return low_byte_of[c] < 0 ? question_mark : static_cast<char>(low_byte_of[c]);
    }
    const auto found = std::lower_bound(byte_of.begin(), byte_of.end(),
                                        std::make_pair(c, static_cast<uint8_t>(0)));
    if (found == byte_of.end() || found->first != c) return question_mark;
    return static_cast<char>(found->second);
}

const std::vector<CodePageName>& CodePageNames() {
    static const std::vector<CodePageName> names = [] {
        std::vector<CodePageName> list;
        for (const PageInfo& info : kPages) list.push_back(info.name);
        return list;
    }();
    return names;
}

std::string_view CodePageId(CodePage page) { return InfoOf(page).name.id; }

std::optional<CodePage> ParseCodePage(std::string_view name) {
    static const std::pair<std::string_view, CodePage> kAliases[] = {
        {"latin1", CodePage::kLatin1},       {"cp1252", CodePage::kWindows1252},
        {"cp1250", CodePage::kWindows1250},  {"cp1251", CodePage::kWindows1251},
        {"latin2", CodePage::kIso8859_2},    {"system", CodePage::kSystemLocale},
        {"shiftjis", CodePage::kShiftJis},   {"sjis", CodePage::kShiftJis},
        {"windows31j", CodePage::kShiftJis}, {"gbk", CodePage::kGbk},
        {"big5", CodePage::kBig5},           {"euckr", CodePage::kEucKr},
        {"uhc", CodePage::kEucKr},
    };
    const std::string folded = Folded(name);
    for (const PageInfo& info : kPages) {
        if (folded == Folded(info.name.id)) return info.name.page;
    }
    for (const auto& [alias, page] : kAliases) {
        if (folded == alias) return page;
    }
    return std::nullopt;
}

std::string SystemCodeset() {
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    // A locale the environment names but the system lacks: the C locale, as setlocale gives.
    if (!locale) locale = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
    if (!locale) return std::string();
    std::string codeset = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    return codeset;
}

CodePageConverter CodePageConverter::ForCodeset(const std::string& codeset) {
    // Tables live as long as the program, so converters may hold them by plain pointer.
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<Table>> tables;
    // iconv would take an empty name for the program's own locale.
    if (codeset.empty() || codeset == kLatin1Codeset) return CodePageConverter(CodePage::kLatin1);
    std::lock_guard<std::mutex> lock(mutex);
    auto found = tables.find(codeset);
    if (found == tables.end()) found = tables.emplace(codeset, Table::Make(codeset)).first;
    return CodePageConverter(found->second.get());
}

CodePageConverter::CodePageConverter(CodePage page) {
    if (page == CodePage::kLatin1) return;
    if (page == CodePage::kSystemLocale) {
        static const std::string system = SystemCodeset();
        table_ = ForCodeset(system).table_;
        return;
    }
    table_ = ForCodeset(std::string(InfoOf(page).codeset)).table_;
}

void CodePageConverter::SetCurrent(CodePage page) {
    current_table.store(CodePageConverter(page).table_, std::memory_order_release);
    current_page.store(page, std::memory_order_release);
}

CodePage CodePageConverter::CurrentPage() { return current_page.load(std::memory_order_acquire); }

CodePageConverter CodePageConverter::Current() {
    return CodePageConverter(current_table.load(std::memory_order_acquire));
}

std::string_view CodePageConverter::Codeset() const {
    return table_ ? std::string_view(table_->codeset) : kLatin1Codeset;
}

std::string CodePageConverter::Decode(std::string_view bytes) const {
    if (!table_) return Latin1ToUtf8(bytes);
    if (table_->double_byte) return table_->double_byte->Decode(bytes);
    // Each byte's four table bytes are copied whole and the end moved on by its length,
    // without a branch: the room left after the last one takes the spare bytes.
    std::string out(bytes.size() * table_->longest + 3, '\0');
    char* end = out.data();
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        std::memcpy(end, table_->utf8[byte].data(), 4);
        end += table_->utf8_length[byte];
    }
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
}

std::string CodePageConverter::Encode(std::string_view utf8) const {
    if (!table_) return Utf8ToLatin1(utf8);
    if (table_->double_byte) return table_->double_byte->Encode(utf8);
    const Table& table = *table_;
    // Never more bytes than the UTF-8 had.
    std::string out(utf8.size(), '\0');
    char* end = out.data();
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8OrLatin1(utf8, i, &c);
        *end++ = table.ByteOf(c);
        i += length;
    }
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
}

bool CodePageConverter::IsDoubleByte() const { return table_ && table_->double_byte; }

std::size_t CodePageConverter::FitBytes(std::string_view bytes, std::size_t width) const {
    if (IsDoubleByte()) return table_->double_byte->FitBytes(bytes, width);
    return std::min(bytes.size(), width);
}

bool CodePageConverter::AppendCharacter(char32_t c, std::string* out) const {
    if (!table_) {
        if (c > 0xFF) return false;
        *out += static_cast<char>(c);
        return true;
    }
    if (table_->double_byte) {
        return table_->double_byte->AppendCharacter(c, out, DoubleByteTable::kCharactersOnly);
    }
    const char byte = table_->ByteOf(c);
    if ((byte == table_->question_mark && c != '?') ||
        !table_->is_character[static_cast<unsigned char>(byte)]) {
        return false;
    }
    *out += byte;
    return true;
}

}  // namespace ambrel
