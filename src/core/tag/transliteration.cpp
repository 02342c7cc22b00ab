#include "tag/transliteration.h"

#include <iconv.h>
#include <locale.h>

#include "tag/iconv_reading.h"

namespace ambrel {

namespace {

// glibc picks transliterations from the LC_CTYPE of the calling thread: the C locale has
// next to none, C.UTF-8 has the Latin ones. Made once, kept for the program's life.
locale_t FixedLocale() {
    static const locale_t locale = [] {
        locale_t made = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (!made) made = newlocale(LC_CTYPE_MASK, "C.utf8", static_cast<locale_t>(nullptr));
        return made;
    }();
    return locale;
}

// Sets the thread's locale for as long as it lives.
class ThreadLocale {
public:
    explicit ThreadLocale(locale_t locale)
        : previous_(locale ? uselocale(locale) : static_cast<locale_t>(nullptr)) {}
    ~ThreadLocale() {
        if (previous_) uselocale(previous_);
    }
    ThreadLocale(const ThreadLocale&) = delete;
    ThreadLocale& operator=(const ThreadLocale&) = delete;

private:
    locale_t previous_;
};

}  // namespace

std::string Transliterate(char32_t c, std::string_view codeset) {
    const std::string target = std::string(codeset) + "//TRANSLIT";
    const iconv_t cd = iconv_open(target.c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string();
    std::string in;
    AppendUtf8(c, &in);
    char* in_at = in.data();
    std::size_t in_left = in.size();
    char out[32];
    char* out_at = out;
    std::size_t out_left = sizeof out;
    std::size_t result;
    {
        const ThreadLocale fixed(FixedLocale());
        result = iconv(cd, &in_at, &in_left, &out_at, &out_left);
        if (result != static_cast<std::size_t>(-1)) iconv(cd, nullptr, nullptr, &out_at, &out_left);
    }
    iconv_close(cd);
    const std::string bytes(out, sizeof out - out_left);
    // glibc writes '?' for a character it has no transliteration for.
    if (result == static_cast<std::size_t>(-1) || in_left != 0 || bytes == "?")
        return std::string();
    return bytes;
}

}  // namespace ambrel
