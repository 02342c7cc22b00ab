#include "tag/double_byte_table.h"

#include <iconv.h>

#include <algorithm>
#include <cstring>

#include "tag/iconv_reading.h"
#include "tag/text_helpers.h"

namespace ambrel {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// Closes an iconv descriptor when it goes out of scope.
struct Converter {
    iconv_t cd;
    ~Converter() {
        if (cd != kNoConverter) iconv_close(cd);
    }
};

void StoreUtf8(char32_t c, char* utf8, uint8_t* length) {
    std::string bytes;
    AppendUtf8(c, &bytes);
    std::memcpy(utf8, bytes.data(), bytes.size());
    *length = static_cast<uint8_t>(bytes.size());
}

}  // namespace

std::unique_ptr<DoubleByteTable> DoubleByteTable::Make(const std::string& codeset) {
    const Converter reader{iconv_open("UTF-32LE", codeset.c_str())};
    if (reader.cd == kNoConverter) return nullptr;
    std::unique_ptr<DoubleByteTable> table(new DoubleByteTable);
    table->bmp_form_.assign(0x10000, 0);
    std::vector<int> fallbacks;
    bool has_lead = false;
    for (int byte = 0; byte < 256; ++byte) {
        const auto b = static_cast<unsigned char>(byte);
        char32_t c = 0;
        switch (ReadWithIconv(reader.cd, &b, 1, &c)) {
            case IconvReading::kCharacter:
                StoreUtf8(c, table->single_utf8_[b], &table->single_length_[b]);
                table->AddForm(c, kSingle | b, false);
                break;
            case IconvReading::kIncomplete:
                table->is_lead_[b] = has_lead = true;
                [[fallthrough]];
            case IconvReading::kNoCharacter:
                StoreUtf8(b, table->single_utf8_[b], &table->single_length_[b]);
                fallbacks.push_back(b);
                break;
            case IconvReading::kSeveral:
                return nullptr;
        }
    }
    if (!has_lead || !table->ReadPairs(reader.cd)) return nullptr;
    // A byte that is no character is written back for its Latin-1 character only when the
    // page has no form of its own for that character.
    for (int byte : fallbacks) {
        if (table->bmp_form_[byte] == 0) table->bmp_form_[byte] = kByteReading | kSingle | byte;
    }
    std::sort(table->other_forms_.begin(), table->other_forms_.end());
    table->ChooseCanonicalForms(codeset);
    return table;
}

// Reads every lead byte with every trail byte; false when a sequence needs a third byte.
bool DoubleByteTable::ReadPairs(void* cd) {
    pair_utf8_.assign(0x10000, {});
    pair_length_.assign(0x10000, 0);
    for (int lead = 0; lead < 256; ++lead) {
        if (!is_lead_[lead]) continue;
        for (int trail = 0; trail < 256; ++trail) {
            const unsigned char pair[2] = {static_cast<unsigned char>(lead),
                                           static_cast<unsigned char>(trail)};
            char32_t c = 0;
            const IconvReading reading = ReadWithIconv(cd, pair, 2, &c);
            if (reading == IconvReading::kIncomplete) return false;
            if (reading != IconvReading::kCharacter) continue;
            const std::size_t index = PairIndex(pair[0], pair[1]);
            StoreUtf8(c, pair_utf8_[index].data(), &pair_length_[index]);
            AddForm(c, kPair | static_cast<uint32_t>(index), false);
        }
    }
    return true;
}

void DoubleByteTable::AddForm(char32_t c, uint32_t form, bool prefer) {
    if (c < bmp_form_.size()) {
        if (bmp_form_[c] != 0 && !prefer) {
            duplicates_.push_back(c);
            return;
        }
        bmp_form_[c] = form;
        return;
    }
    for (auto& [character, known] : other_forms_) {
        if (character != c) continue;
        if (prefer)
            known = form;
        else
            duplicates_.push_back(c);
        return;
    }
    other_forms_.emplace_back(c, form);
}

// A character with two forms (the NEC and IBM rows of CP932, for one) is written in the
// form iconv writes, as other programs do.
void DoubleByteTable::ChooseCanonicalForms(const std::string& codeset) {
    const Converter writer{iconv_open(codeset.c_str(), "UTF-32LE")};
    if (writer.cd == kNoConverter) return;
    for (char32_t c : duplicates_) {
        iconv(writer.cd, nullptr, nullptr, nullptr, nullptr);
        const unsigned char in_bytes[4] = {
            static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8),
            static_cast<unsigned char>(c >> 16), static_cast<unsigned char>(c >> 24)};
        char in[4];
        std::memcpy(in, in_bytes, 4);
        char* in_at = in;
        std::size_t in_left = 4;
        unsigned char out[8];
        char* out_at = reinterpret_cast<char*>(out);
        std::size_t out_left = sizeof out;
        if (iconv(writer.cd, &in_at, &in_left, &out_at, &out_left) == static_cast<std::size_t>(-1))
            continue;
        const std::size_t written = sizeof out - out_left;
        if (written == 1 && single_length_[out[0]] != 0 && !is_lead_[out[0]]) {
            AddForm(c, kSingle | out[0], true);
        } else if (written == 2 && pair_length_[PairIndex(out[0], out[1])] != 0) {
            AddForm(c, kPair | static_cast<uint32_t>(PairIndex(out[0], out[1])), true);
        }
    }
    duplicates_.clear();
    duplicates_.shrink_to_fit();
}

std::string DoubleByteTable::Decode(std::string_view bytes) const {
    // A byte gives at most three UTF-8 bytes, a pair at most four; each character's four
    // table bytes are copied whole and the end moved on by its length.
    std::string out(bytes.size() * 3 + 4, '\0');
    char* end = out.data();
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (LengthAt(bytes, i) == 2) {
            const std::size_t index = PairIndex(lead, static_cast<unsigned char>(bytes[i + 1]));
            std::memcpy(end, pair_utf8_[index].data(), 4);
            end += pair_length_[index];
            i += 2;
        } else {
            std::memcpy(end, single_utf8_[lead], 4);
            end += single_length_[lead];
            ++i;
        }
    }
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
}

bool DoubleByteTable::AppendCharacter(char32_t c, std::string* out, Forms forms) const {
    uint32_t form = 0;
    if (c < bmp_form_.size()) {
        form = bmp_form_[c];
    } else {
        const auto found = std::lower_bound(other_forms_.begin(), other_forms_.end(),
                                            std::make_pair(c, uint32_t{0}));
        if (found != other_forms_.end() && found->first == c) form = found->second;
    }
    if (form == 0 || (forms == kCharactersOnly && (form & kByteReading))) return false;
    if (((form >> 16) & 0xF) == 2) *out += static_cast<char>((form >> 8) & 0xFF);
    *out += static_cast<char>(form & 0xFF);
    return true;
}

std::string DoubleByteTable::Encode(std::string_view utf8) const {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8OrLatin1(utf8, i, &c);
        if (!AppendCharacter(c, &out)) out += '?';
        i += length;
    }
    return out;
}

std::size_t DoubleByteTable::FitBytes(std::string_view bytes, std::size_t width) const {
    std::size_t end = 0;
    while (end < bytes.size()) {
        const std::size_t length = LengthAt(bytes, end);
        if (end + length > width) break;
        end += length;
    }
    return end;
}

}  // namespace ambrel
