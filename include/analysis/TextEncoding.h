#pragma once

#include <string>

namespace sor {
class SORParser;
}

// The texts of a file (names, locations, comments) are bytes in whatever code page the instrument used, whatever its
// language field says. One rule turns them into UTF-8 for every view and output; the text dumps keep the bytes.
namespace analysis {

enum class TextEncoding {
    Automatic, ///< UTF-8 where the bytes are; else Windows-1251 when the file's names read as Cyrillic; else Latin-1
    Utf8,
    Windows1251,
    Latin1,
};

/// The encoding the files' texts are read in: Automatic unless the user chose one for the session.
TextEncoding textEncoding();
void setTextEncoding(TextEncoding encoding);

/// True when the bytes outside ASCII mostly make up words of several Cyrillic letters in Windows-1251.
bool readsAsCyrillic(const std::string& bytes);

/// The bytes in the given encoding as UTF-8; invalid UTF-8 becomes U+FFFD. Automatic decides for these bytes alone.
std::string decodeText(const std::string& bytes, TextEncoding encoding);
/// What Automatic reads a file's texts in where they are not UTF-8: Windows-1251 or Latin-1, decided once for all
/// its names together, so that a short text reads like the others.
TextEncoding fileCodePage(const sor::SORParser& parser);
/// A text of the file as UTF-8, by the session's encoding.
std::string fileText(const sor::SORParser& parser, const std::string& bytes);

} // namespace analysis
