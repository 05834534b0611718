#include "TempFile.h"

#include "sor/Exceptions.h"
#include "sor/SORParser.h"

#include <gtest/gtest.h>

using namespace EXCEPTION;

TEST(Exceptions, WhatComposesThreeLines)
{
    const _Exc_ParserError e("m", 9, "f", "g");
    EXPECT_STREQ(e.what(), "\nf:9 in function g\nExc_ParserError: m\n");
    EXPECT_EQ(e.exceptionName, "Exc_ParserError");
    EXPECT_EQ(e.message, "m");
    EXPECT_EQ(e.function, "g");
}

TEST(Exceptions, ClassNamesAndNegativeLine)
{
    EXPECT_STREQ(_Exc_Exception("x", -3, "a.cpp", "h").what(), "\na.cpp:-3 in function h\nExc_Exception: x\n");
    EXPECT_STREQ(_Exc_NotImplemented("y", 0, "b", "k").what(), "\nb:0 in function k\nExc_NotImplemented: y\n");
}

TEST(Exceptions, CaughtByTheParserIntoErrorText)
{
    const sortest::TempFile empty(sortest::Bytes {});
    testing::internal::CaptureStderr();
    const sor::SORParser parser(empty.wpath());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(parser.fileParsed);
    ASSERT_FALSE(parser.errorText.empty());
    EXPECT_EQ(parser.errorText.front(), '\n');
    EXPECT_EQ(parser.errorText.back(), '\n');
    EXPECT_NE(
        parser.errorText.find(" in function parse\nExc_Exception: The file appears to be empty.\n"), std::string::npos);
    EXPECT_EQ(err, parser.errorText + "\n");
}
