#include "text/charset_decoder.h"

#include <QtEndian>

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string_view>
#include <vector>

namespace zorvan {
namespace {

class Iconv {
public:
    explicit Iconv(const char* from) : cd_(iconv_open("UTF-16LE", from)) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Bytes to skip after an invalid sequence: one code unit of the source.
size_t UnitSize(std::string_view charset)
{
    auto starts = [&](std::string_view prefix) {
        if (charset.size() < prefix.size())
            return false;
        for (size_t i = 0; i < prefix.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(charset[i])) != prefix[i])
                return false;
        }
        return true;
    };
    if (starts("UTF-32") || starts("UTF32") || starts("UCS-4") || starts("UCS4"))
        return 4;
    if (starts("UTF-16") || starts("UTF16") || starts("UCS-2") || starts("UCS2"))
        return 2;
    return 1;
}

}  // namespace

std::optional<DecodedText> DecodeCharset(const QByteArray& bytes, const char* charset)
{
    Iconv cd(charset);
    if (!cd.valid())
        return std::nullopt;
    const size_t unit = UnitSize(charset);
    constexpr char16_t kReplacement = 0xFFFD;

    DecodedText result;
    std::vector<char> out(size_t(bytes.size()) * 2 + 64);
    size_t used = 0;
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    auto appendReplacement = [&] {
        if (out.size() - used < 2)
            out.resize(out.size() * 2);
        qToLittleEndian<char16_t>(kReplacement, out.data() + used);
        used += 2;
        ++result.invalidSequences;
    };
    // A null input flushes a stateful charset at the end.
    bool flushed = false;
    while (!flushed) {
        const bool flushing = inLeft == 0;
        char* dst = out.data() + used;
        size_t dstLeft = out.size() - used;
        const size_t rc = flushing ? iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft)
                                   : iconv(cd.get(), &in, &inLeft, &dst, &dstLeft);
        used = size_t(dst - out.data());
        if (rc != size_t(-1)) {
            flushed = flushing;
            continue;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else if (flushing) {
            flushed = true;
        } else if (errno == EILSEQ) {
            appendReplacement();
            const size_t skip = std::min(unit, inLeft);
            in += skip;
            inLeft -= skip;
        } else {  // EINVAL: the input ends inside a sequence
            appendReplacement();
            inLeft = 0;
        }
    }
    result.text.resize(qsizetype(used / 2));
    char16_t* chars = reinterpret_cast<char16_t*>(result.text.data());
    for (size_t i = 0; i < used / 2; ++i)
        chars[i] = qFromLittleEndian<char16_t>(out.data() + 2 * i);
    return result;
}

}  // namespace zorvan
