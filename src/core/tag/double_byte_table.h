#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ambrel {

// A double-byte code page (Shift_JIS, GBK, Big5, UHC): a character is one byte, or a lead
// byte and a trail byte. Made from iconv once, then only read, so it may be used on any
// thread. A byte that is not part of a valid character reads as the Latin-1 character of
// the same value, and writes back as that byte when the page has no other form for it.
class DoubleByteTable {
public:
    // The table of a code set whose characters are all one or two bytes without shift
    // states; none for any other.
    static std::unique_ptr<DoubleByteTable> Make(const std::string& codeset);

    std::string Decode(std::string_view bytes) const;
    // A character the page cannot hold becomes '?'; a byte that is not part of well-formed
    // UTF-8 is taken as the Latin-1 character it is.
    std::string Encode(std::string_view utf8) const;
    // Appends the bytes of c and returns true, or appends nothing and returns false when
    // the page cannot hold it; with kCharactersOnly, also for the Latin-1 character of a
    // byte that is no character of the page (a reader would take it for something else).
    enum Forms { kCharactersOnly, kByteReadingsToo };
    bool AppendCharacter(char32_t c, std::string* out, Forms forms = kByteReadingsToo) const;
    // The longest start of bytes of at most width bytes that ends between two characters
    // as Decode reads them.
    std::size_t FitBytes(std::string_view bytes, std::size_t width) const;

private:
    DoubleByteTable() = default;
    // How many bytes the character at bytes[i] takes: 2 for a valid pair, else 1.
    std::size_t LengthAt(std::string_view bytes, std::size_t i) const {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (!is_lead_[lead] || i + 1 >= bytes.size()) return 1;
        return pair_length_[PairIndex(lead, static_cast<unsigned char>(bytes[i + 1]))] ? 2 : 1;
    }
    static std::size_t PairIndex(unsigned char lead, unsigned char trail) {
        return static_cast<std::size_t>(lead) << 8 | trail;
    }
    void AddForm(char32_t c, uint32_t form, bool prefer);
    bool ReadPairs(void* cd);
    void ChooseCanonicalForms(const std::string& codeset);

    // A form is (length << 16) | code: one byte, or lead << 8 | trail; 0 for none.
    // kByteReading marks the Latin-1 character of a byte that is no character.
    static constexpr uint32_t kSingle = 1u << 16, kPair = 2u << 16, kByteReading = 1u << 20;

    bool is_lead_[256] = {};
    // UTF-8 of each single byte, and of each pair (length 0: not a character).
    char single_utf8_[256][4] = {};
    uint8_t single_length_[256] = {};
    std::vector<std::array<char, 4>> pair_utf8_;
    std::vector<uint8_t> pair_length_;
    // The form each character is written in: directly for the Basic Multilingual Plane,
    // sorted by character above it.
    std::vector<uint32_t> bmp_form_;
    std::vector<std::pair<char32_t, uint32_t>> other_forms_;
    // Characters read in more than one form, for which iconv names the one to write.
    std::vector<char32_t> duplicates_;
};

}  // namespace ambrel
