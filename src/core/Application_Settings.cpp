#include "core/Application.h"

#include "core/SettingsFile.h"

#include <QDebug>
#include <QFile>
#include <QTextStream>

static_assert(int(Application::Dark) == SettingsFile::Dark && int(Application::Bright) == SettingsFile::Bright
        && int(Application::Native) == SettingsFile::Native,
    "the settings file numbers the themes as the application does");

namespace {

SettingsFile settingsOf(const Application& a)
{
    SettingsFile file;
    file.theme = a.theme;
    file.cursorMode = a.cursorMode;
    file.graphColour = a.graphColour;
    file.selectedMultiGraphPenColour = a.selectedMultiGraphPenColour;
    file.cursorMarkerColour = a.cursorMarkerColour;
    file.cursorLineColour = a.cursorLineColour;
    file.eventMarkerColour = a.eventMarkerColour;
    file.eventLineColour = a.eventLineColour;
    return file;
}

} // namespace

void Application::loadSettings()
{
    QFile file(settingsPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qDebug() << "FILE ERROR: " << file.errorString();
        return;
    }
    _applySettings(file.readAll());
}

void Application::_applySettings(const QByteArray& contents)
{
    SettingsFile file = settingsOf(*this);
    // In the order the file's keys are read: a named theme takes effect before the colours change.
    if (file.apply(contents)) {
        theme = file.theme;
        _setTheme();
    }
    cursorMode = file.cursorMode;
    graphColour = file.graphColour;
    selectedMultiGraphPenColour = file.selectedMultiGraphPenColour;
    cursorMarkerColour = file.cursorMarkerColour;
    cursorLineColour = file.cursorLineColour;
    eventMarkerColour = file.eventMarkerColour;
    eventLineColour = file.eventLineColour;
}

QString Application::_settingsText() const { return settingsOf(*this).text(); }

void Application::saveSettings()
{
    QFile file(settingsPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate)) {
        qDebug() << "FILE ERROR: " << file.errorString();
        return;
    }
    QTextStream out(&file);
    out << _settingsText();
}
