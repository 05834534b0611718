#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Minimal streaming JSON writer; texts from the file may hold any bytes, so invalid UTF-8 is escaped as Latin-1.
class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(const std::string& name);
    JsonWriter& value(const std::string& text);
    JsonWriter& value(const char* text) { return value(std::string(text)); }
    JsonWriter& value(double number);
    JsonWriter& value(int64_t number);
    JsonWriter& value(uint64_t number);
    JsonWriter& value(int number) { return value(static_cast<int64_t>(number)); }
    JsonWriter& value(unsigned number) { return value(static_cast<uint64_t>(number)); }
    JsonWriter& value(bool flag);
    JsonWriter& value(const std::optional<double>& number) { return number ? value(*number) : null(); }
    JsonWriter& null();

    template <typename T> JsonWriter& field(const std::string& name, const T& v) { return key(name).value(v); }

    const std::string& str() const { return out; }

    static std::string quote(const std::string& text);

private:
    void separate();
    std::string out;
    std::vector<bool> first; ///< per open container: no element written yet
    bool afterKey = false;
};
