#include "JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0.
size_t utf8Length(const std::string& s, size_t i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = 0;
    uint32_t cp = 0;
    if (c < 0x80)
        return 1;
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

} // namespace

std::string JsonWriter::quote(const std::string& text)
{
    std::string q = "\"";
    char buffer[8];
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t n = utf8Length(text, i);
        if (n > 1) {
            q.append(text, i, n);
            i += n;
            continue;
        }
        if (c == '"' || c == '\\') {
            q += '\\';
            q += static_cast<char>(c);
        } else if (c < 0x20 || n == 0) {
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            q += buffer;
        } else {
            q += static_cast<char>(c);
        }
        ++i;
    }
    return q + "\"";
}

void JsonWriter::separate()
{
    if (afterKey) {
        afterKey = false;
        return;
    }
    if (!first.empty()) {
        if (!first.back())
            out += ',';
        first.back() = false;
    }
}

JsonWriter& JsonWriter::beginObject()
{
    separate();
    out += '{';
    first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endObject()
{
    out += '}';
    first.pop_back();
    return *this;
}

JsonWriter& JsonWriter::beginArray()
{
    separate();
    out += '[';
    first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endArray()
{
    out += ']';
    first.pop_back();
    return *this;
}

JsonWriter& JsonWriter::key(const std::string& name)
{
    separate();
    out += quote(name);
    out += ':';
    afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::value(const std::string& text)
{
    separate();
    out += quote(text);
    return *this;
}

JsonWriter& JsonWriter::value(double number)
{
    if (!std::isfinite(number))
        return null();
    separate();
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    out.append(buffer, result.ptr);
    return *this;
}

JsonWriter& JsonWriter::value(int64_t number)
{
    separate();
    out += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(uint64_t number)
{
    separate();
    out += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag)
{
    separate();
    out += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null()
{
    separate();
    out += "null";
    return *this;
}
