// libFuzzer target for the settings file: any bytes are applied as the contents of ./setting.ini, and what must
// hold for every file is checked (the theme, the untouched keys, the eight written lines and their round trip).
#include "SettingsExercise.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Without a copy: nothing follows the input, not even a zero byte, so a read past its end is caught.
    const QByteArray contents = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const std::string problem = sortest::exerciseSettings(contents);
    if (!problem.empty()) {
        std::fprintf(stderr, "settings invariant broken: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
