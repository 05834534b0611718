#pragma once

#include <string>

class QByteArray;
struct SettingsFile;

namespace sortest {

/// The values a settings file is applied to: the application's factory settings, or the same with every value
/// changed.
SettingsFile factorySettings();
SettingsFile otherSettings();

/// Applies the contents of a settings file to the factory settings and checks what must hold for any contents: the
/// theme stays one of the three (and changes only when the file names one), keys the file lacks keep their values,
/// the written file is the eight lines with their keys in order, it reads back to the same eight lines whatever it
/// is applied to, and applying the contents again changes nothing. Returns the first broken rule as a text, or an
/// empty text.
std::string exerciseSettings(const QByteArray& contents);

/// The same checks for settings read another way (such as through the application object): read is what applying
/// contents to start gave, themeNamed whether the contents named a theme.
std::string checkAppliedSettings(
    const QByteArray& contents, const SettingsFile& start, const SettingsFile& read, bool themeNamed);

} // namespace sortest
