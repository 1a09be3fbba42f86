#include "shell/text_encoding.hpp"

#include <cerrno>
#include <iconv.h>

// The conversions through iconv's "CP932", the Windows variant of Shift-JIS. Windows converts
// through its own code page instead (text_encoding_windows.cpp), to the same results.

namespace shell {
namespace {

// An iconv descriptor that closes itself.
class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `input`; an input sequence the target cannot take is replaced and skipped
    // one byte (from Shift-JIS) or one UTF-8 character (to Shift-JIS) at a time.
    std::string convert(std::string_view input, std::string_view replacement,
                        bool skipWholeUtf8Character)
    {
        std::string output;
        if (!valid())
            return output;
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[512];
        while (inLeft > 0) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(handle_, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            if (result != static_cast<std::size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (a sequence cut off at the end): replace and step over it.
            output += replacement;
            std::size_t skip = 1;
            if (skipWholeUtf8Character) {
                while (skip < inLeft && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80)
                    ++skip;
            }
            in += skip;
            inLeft -= skip;
            iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        }
        return output;
    }

private:
    iconv_t handle_;
};

}  // namespace

std::string sjisToUtf8(std::string_view sjis)
{
    Converter converter("UTF-8", "CP932");
    return converter.convert(sjis, kReplacementUtf8, false);
}

std::string utf8ToSjis(std::string_view utf8)
{
    Converter converter("CP932", "UTF-8");
    return converter.convert(utf8, kReplacementSjis, true);
}

}  // namespace shell
