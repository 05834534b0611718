#pragma once

#include "core/AppStyle.h"
#include "core/Application.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Widget tests run inside the program's own Application, with the fusion style wrapped in AppStyle, in a fresh
// working directory that holds neither ./setting.ini nor ./Icons/ until a test puts them there.
namespace TestSupport {

// Copies the repository's Icons/ into ./Icons/.
inline bool installIcons()
{
    const QDir source(QStringLiteral(TAVIX_SOURCE_DIR "/Icons"));
    if (!QDir().mkpath(QStringLiteral("Icons")))
        return false;
    const QStringList files = source.entryList(QDir::Files);
    for (const QString& name : files) {
        QFile::remove(QStringLiteral("Icons/") + name);
        if (!QFile::copy(source.filePath(name), QStringLiteral("Icons/") + name))
            return false;
    }
    return !files.isEmpty();
}

inline void removeIcons() { QDir(QStringLiteral("Icons")).removeRecursively(); }

inline void installStyle()
{
    QApplication::setStyle(QStringLiteral("fusion"));
    QApplication::setStyle(new AppStyle(QApplication::style()));
}

// Back to the start values: Bright theme, A/B cursors, factory colours, the default settings path.
inline void resetApplication()
{
    Application* a = app();
    a->settingsPath = QStringLiteral("./setting.ini");
    a->cursorMode = true;
    a->theme = Application::Bright;
    a->resetGraphColour();
    a->resetSelectedMultiGraphPenColour();
    a->resetCursorMarkerColour();
    a->resetCursorLineColour();
    a->resetEventMarkerColour();
    a->resetEventLineColour();
    a->_setTheme();
}

// The colour of the drawn pixels (alpha at least 128), or an invalid colour when they differ or there are none.
inline QColor drawnColour(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    QColor found;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) < 128)
                continue;
            const QColor colour(qRed(pixel), qGreen(pixel), qBlue(pixel));
            if (!found.isValid())
                found = colour;
            else if (colour != found)
                return QColor();
        }
    }
    return found;
}

} // namespace TestSupport

#define TAVIX_TEST_MAIN(TestClass)                                                                                     \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        QTemporaryDir workDir;                                                                                         \
        QDir::setCurrent(workDir.path());                                                                              \
        QApplication::setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        Application application(argc, argv);                                                                           \
        TestSupport::installStyle();                                                                                   \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
