// Build-time helper: turns a UTF-8 language table into the UTF-16LE form the
// viewer carries as a resource (byte-order mark FF FE, CR LF line ends).
// Usage: kestrav_make_utf16_ini <input.ini> <output>
// Fails (exit code 1, nothing written) on unreadable input or invalid UTF-8.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool DecodeUtf8(const std::string& in, std::vector<char32_t>& out, size_t& badAt)
{
    size_t i = 0;
    const size_t n = in.size();
    while (i < n) {
        const auto b0 = static_cast<unsigned char>(in[i]);
        char32_t cp = 0;
        size_t extra = 0;
        if (b0 < 0x80) {
            cp = b0;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            cp = b0 & 0x1F;
            extra = 1;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            cp = b0 & 0x0F;
            extra = 2;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            cp = b0 & 0x07;
            extra = 3;
        } else {
            badAt = i;
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            if (i + k >= n) {
                badAt = i;
                return false;
            }
            const auto b = static_cast<unsigned char>(in[i + k]);
            if ((b & 0xC0) != 0x80) {
                badAt = i;
                return false;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        const bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
        if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            badAt = i;
            return false;
        }
        out.push_back(cp);
        i += extra + 1;
    }
    return true;
}

void PutUnit(std::string& out, uint16_t u)
{
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <input.ini> <output>\n", argv[0]);
        return 1;
    }
    std::ifstream input(argv[1], std::ios::binary);
    if (!input) {
        std::fprintf(stderr, "%s: cannot read\n", argv[1]);
        return 1;
    }
    std::string bytes((std::istreambuf_iterator<char>(input)), std::istreambuf_iterator<char>());
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);

    std::vector<char32_t> text;
    size_t badAt = 0;
    if (!DecodeUtf8(bytes, text, badAt)) {
        std::fprintf(stderr, "%s: invalid UTF-8 at byte %zu\n", argv[1], badAt);
        return 1;
    }

    std::string out;
    out.reserve(2 + text.size() * 2);
    out.push_back(static_cast<char>(0xFF));
    out.push_back(static_cast<char>(0xFE));
    char32_t previous = 0;
    for (const char32_t cp : text) {
        if (cp == U'\n' && previous != U'\r')
            PutUnit(out, u'\r');
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            PutUnit(out, static_cast<uint16_t>(0xD800 + (v >> 10)));
            PutUnit(out, static_cast<uint16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            PutUnit(out, static_cast<uint16_t>(cp));
        }
        previous = cp;
    }

    const std::string temporary = std::string(argv[2]) + ".tmp";
    {
        std::ofstream output(temporary, std::ios::binary | std::ios::trunc);
        output.write(out.data(), static_cast<std::streamsize>(out.size()));
        if (!output) {
            std::fprintf(stderr, "%s: cannot write\n", temporary.c_str());
            std::remove(temporary.c_str());
            return 1;
        }
    }
    if (std::rename(temporary.c_str(), argv[2]) != 0) {
        std::fprintf(stderr, "%s: cannot write\n", argv[2]);
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}
