#include "analysis/TextEncoding.h"

#include "sor/SORParser.h"

#include <atomic>
#include <cstdint>
#include <initializer_list>

namespace analysis {

namespace {
    std::atomic<TextEncoding> chosen { TextEncoding::Automatic };

    // Windows-1251 from 0x80 on; 0x98 is not assigned.
    constexpr uint16_t cp1251[128] = {
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, //
        0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, //
        0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
        0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, //
        0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, //
        0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, //
        0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, //
        0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, //
        0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, //
        0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, //
        0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, //
        0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, //
        0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, //
        0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, //
        0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, //
        0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, //
    };

    void append(std::string& out, uint32_t cp)
    {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    // Length of the valid UTF-8 sequence at s[i] (no overlong forms, no surrogates), 0 when there is none.
    size_t sequenceAt(const std::string& s, size_t i, uint32_t& cp)
    {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t n = 0;
        if (c < 0x80) {
            cp = c;
            return 1;
        }
        if ((c & 0xE0) == 0xC0) {
            n = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 4;
            cp = c & 0x07;
        } else {
            return 0;
        }
        if (i + n > s.size())
            return 0;
        for (size_t k = 1; k < n; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return 0;
            cp = (cp << 6) | (cc & 0x3F);
        }
        const bool overlong = (n == 2 && cp < 0x80) || (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
        if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return 0;
        return n;
    }

    bool isValidUtf8(const std::string& s)
    {
        uint32_t cp = 0;
        for (size_t i = 0; i < s.size();) {
            const size_t n = sequenceAt(s, i, cp);
            if (n == 0)
                return false;
            i += n;
        }
        return true;
    }

    bool isCyrillicLetter(unsigned char c)
    {
        return c >= 0x80 && cp1251[c - 0x80] >= 0x0400 && cp1251[c - 0x80] < 0x0500;
    }
    bool isAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

    // Counts the bytes outside ASCII, and those of them in words of two or more Cyrillic letters that make up most of
    // the word: in Latin-1 text an accented letter mostly stands among plain ones ("Müller"), in Windows-1251 text
    // whole words are made of such bytes ("АНДРЮКОВ").
    void countCyrillic(const std::string& bytes, size_t& high, size_t& inWords)
    {
        size_t letters = 0, cyrillic = 0;
        const auto endWord = [&] {
            if (cyrillic >= 2 && cyrillic * 2 > letters)
                inWords += cyrillic;
            letters = cyrillic = 0;
        };
        for (const char ch : bytes) {
            const auto c = static_cast<unsigned char>(ch);
            if (c >= 0x80)
                ++high;
            if (isCyrillicLetter(c)) {
                ++letters;
                ++cyrillic;
            } else if (isAsciiLetter(c)) {
                ++letters;
            } else {
                endWord();
            }
        }
        endWord();
    }

    bool mostlyCyrillic(size_t high, size_t inWords) { return inWords > 0 && inWords * 3 >= high * 2; }
} // namespace

TextEncoding textEncoding() { return chosen.load(); }

void setTextEncoding(TextEncoding encoding) { chosen.store(encoding); }

bool readsAsCyrillic(const std::string& bytes)
{
    size_t high = 0, inWords = 0;
    countCyrillic(bytes, high, inWords);
    return mostlyCyrillic(high, inWords);
}

std::string decodeText(const std::string& bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Automatic) {
        if (isValidUtf8(bytes))
            return bytes;
        encoding = readsAsCyrillic(bytes) ? TextEncoding::Windows1251 : TextEncoding::Latin1;
    }
    std::string out;
    out.reserve(bytes.size() * 2);
    uint32_t cp = 0;
    for (size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        switch (encoding) {
        case TextEncoding::Utf8:
            if (const size_t n = sequenceAt(bytes, i, cp)) {
                out.append(bytes, i, n);
                i += n;
                continue;
            }
            append(out, 0xFFFD);
            break;
        case TextEncoding::Windows1251:
            append(out, cp1251[c - 0x80]);
            break;
        default:
            append(out, c);
            break;
        }
        ++i;
    }
    return out;
}

TextEncoding fileCodePage(const sor::SORParser& p)
{
    size_t high = 0, inWords = 0;
    for (const std::string* text :
        { &p.gen.CableID, &p.gen.FiberID, &p.gen.LocationA, &p.gen.LocationB, &p.gen.CableCode, &p.gen.Operator,
            &p.gen.Comments, &p.sup.SupplierName, &p.sup.OTDR_Name, &p.sup.ModuleName, &p.sup.Other }) {
        if (!isValidUtf8(*text))
            countCyrillic(*text, high, inWords);
    }
    return mostlyCyrillic(high, inWords) ? TextEncoding::Windows1251 : TextEncoding::Latin1;
}

std::string fileText(const sor::SORParser& parser, const std::string& bytes)
{
    const TextEncoding encoding = textEncoding();
    if (encoding != TextEncoding::Automatic)
        return decodeText(bytes, encoding);
    if (isValidUtf8(bytes))
        return bytes;
    return decodeText(bytes, fileCodePage(parser));
}

} // namespace analysis
