#include "sor/Exceptions.h"
#include "sor/SectionParser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A parser reading from a temporary file that holds the given bytes.
class Primitives : public testing::Test {
protected:
    void load(const std::string& bytes)
    {
        file = std::tmpfile();
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::rewind(file);
        parser.file = file;
    }
    void TearDown() override
    {
        if (file)
            std::fclose(file);
    }
    long position() const { return std::ftell(file); }

    template <typename F> std::string errorOf(F f)
    {
        try {
            f();
        } catch (const EXCEPTION::_Exc_ParserError& e) {
            return e.message + "|" + e.function;
        }
        return "no error";
    }

    FILE* file = nullptr;
    sor::_SectionParser parser;
};

} // namespace

TEST_F(Primitives, WordsAndDwordsAreLittleEndian)
{
    load(std::string("\x4D\x61\xC8\x00\x78\x56\x34\x12\xFF\xFF\xFF\xFF", 12));
    EXPECT_EQ(parser.scan_word(), 24909);
    EXPECT_EQ(parser.scan_word(), 200);
    EXPECT_EQ(parser.scan_dword(), 0x12345678u);
    EXPECT_EQ(parser.scan_dword(), 0xFFFFFFFFu);
}

TEST_F(Primitives, ShortWordAndDwordThrowTheirOwnMessages)
{
    load(std::string("\x01", 1));
    EXPECT_EQ(errorOf([&] { parser.scan_word(); }), "Error while scanning a WORD. Error Code: 0|scan_word");
    load(std::string("\x01\x02\x03", 3));
    EXPECT_EQ(errorOf([&] { parser.scan_dword(); }), "Error while scanning a DWORD. Error Code: 0|scan_dword");
}

TEST_F(Primitives, StringStopsAtTheZeroByte)
{
    load(std::string("Map\0\0X", 6));
    EXPECT_EQ(parser.scan_string(), "Map");
    EXPECT_EQ(position(), 4);
    EXPECT_EQ(parser.scan_string(), "");
    EXPECT_EQ(position(), 5);
}

TEST_F(Primitives, StringBudgetIsOneHundredThousandBytes)
{
    load(std::string(100005, 'x') + std::string(1, '\0'));
    EXPECT_EQ(parser.scan_string(), std::string(100000, 'x'));
    EXPECT_EQ(position(), 100000);
    EXPECT_EQ(parser.scan_string(), "xxxxx");
}

TEST_F(Primitives, TextsKeepEveryByteValue)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all.push_back(static_cast<char>(c));
    load(all + std::string(1, '\0') + std::string(1, '\0') + all);
    EXPECT_EQ(parser.scan_string(), all);
    EXPECT_EQ(parser.scan_char(255), std::string(1, '\0') + all.substr(0, 254));
}

TEST_F(Primitives, FixedLengthTexts)
{
    load(std::string("km\0x", 4));
    EXPECT_EQ(parser.scan_char(2), "km");
    EXPECT_EQ(parser.scan_char(2), std::string("\0x", 2));
    EXPECT_EQ(parser.scan_char(0), "");
}

TEST_F(Primitives, EndOfFileInsideTexts)
{
    load("Ma");
    EXPECT_EQ(errorOf([&] { parser.scan_string(); }),
        "Error while scanning a string (reached EOF before end of string (nullbyte)). Error Code: 0|scan_string");
    load("k");
    EXPECT_EQ(errorOf([&] { parser.scan_char(2); }),
        "Error while scanning chars (reached EOF before end of string (nullbyte)). Error Code: 0|scan_char");
}

TEST_F(Primitives, BulkWordsMatchSingleReadsAndFailLikeThem)
{
    std::string bytes;
    for (int i = 0; i < 70000; ++i) {
        bytes.push_back(static_cast<char>(i & 0xFF));
        bytes.push_back(static_cast<char>((i * 7) & 0xFF));
    }
    load(bytes);
    std::vector<uint16_t> bulk;
    parser.scan_words(bulk, 70000);
    std::rewind(file);
    for (int i = 0; i < 70000; ++i)
        ASSERT_EQ(bulk[i], parser.scan_word()) << i;

    load(std::string("\x01\x00\x02", 3));
    std::vector<uint16_t> shortRead;
    EXPECT_EQ(errorOf([&] { parser.scan_words(shortRead, 4000000000u); }),
        "Error while scanning a WORD. Error Code: 0|scan_word");
    EXPECT_LE(shortRead.capacity(), 1u << 18); // at most one chunk, whatever the announced count
}
