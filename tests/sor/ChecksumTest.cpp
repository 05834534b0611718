#include "SorBuilder.h"

#include "sor/Checksum.h"
#include "sor/Exceptions.h"

#include <gtest/gtest.h>

#include <random>

TEST(Checksum, StandardCheckValue)
{
    const std::string digits = "123456789??";
    const auto* bytes = reinterpret_cast<const uint8_t*>(digits.data());
    EXPECT_EQ(sor::calc_sor_crc(bytes, static_cast<long>(digits.size())), 0x29B1);
    // A three-byte file covers only its first byte.
    EXPECT_EQ(sor::calc_sor_crc(bytes, 3), sortest::crc16(bytes, 1));
}

TEST(Checksum, FastPathAgreesWithBitwiseCrcForEverySizeAndAlignment)
{
    std::mt19937 rng(5);
    std::vector<uint8_t> data(5000);
    for (auto& b : data)
        b = static_cast<uint8_t>(rng());
    for (size_t offset = 0; offset < 4; ++offset)
        for (size_t size = 0; size < 700; ++size)
            ASSERT_EQ(sor::crc16_ccitt(data.data() + offset, size), sortest::crc16(data.data() + offset, size))
                << offset << " " << size;
    EXPECT_EQ(sor::crc16_ccitt(data.data(), data.size()), sortest::crc16(data.data(), data.size()));
    // Continuing from a register equals one pass over the whole.
    const uint16_t half = sor::crc16_ccitt(data.data(), 2000);
    EXPECT_EQ(sor::crc16_ccitt(data.data() + 2000, 3000, half), sor::crc16_ccitt(data.data(), 5000));
}

TEST(Checksum, StreamAndSizeChecks)
{
    const std::string text = "123456789!!";
    FILE* f = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), f);
    EXPECT_EQ(sor::calc_sor_crc(f), 0x29B1);
    std::fclose(f);
    const uint8_t two[] = { 1, 2 };
    try {
        sor::calc_sor_crc(two, 2);
        FAIL();
    } catch (const EXCEPTION::_Exc_Exception& e) {
        EXPECT_EQ(e.message, "The file is too small (less than 3 Byte) (2 Byte)");
        EXPECT_EQ(e.function, "calc_sor_crc");
    }
    EXPECT_THROW(sor::calc_sor_crc(two, 0), EXCEPTION::_Exc_Exception);
}

TEST(Checksum, AnotherInitialValueWithoutReadingAgain)
{
    const std::string digits = "123456789";
    const auto* bytes = reinterpret_cast<const uint8_t*>(digits.data());
    const uint16_t ccitt = sor::crc16_ccitt(bytes, digits.size());
    EXPECT_EQ(sor::crc16_change_initial(ccitt, digits.size(), 0xFFFF, 0), 0x31C3); // CRC-16/XMODEM check value
    EXPECT_EQ(sor::crc16_change_initial(0x31C3, digits.size(), 0, 0xFFFF), ccitt);

    std::mt19937 rng(9);
    std::vector<uint8_t> data(3000);
    for (auto& b : data)
        b = static_cast<uint8_t>(rng());
    for (const size_t size : { size_t(0), size_t(1), size_t(2), size_t(17), size_t(300), size_t(2999) }) {
        const uint16_t from = static_cast<uint16_t>(rng());
        const uint16_t to = static_cast<uint16_t>(rng());
        EXPECT_EQ(sor::crc16_change_initial(sortest::crc16(data.data(), size, from), size, from, to),
            sortest::crc16(data.data(), size, to))
            << size;
    }
}
