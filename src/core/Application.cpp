#include "core/Application.h"

#include "core/FactoryColours.h"
#include "core/PixmapTools.h"

#include <QBrush>
#include <QTransform>

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
    defaultGraphColour = factory::graphColour;
    defaultSelectedMultiGraphPenColour = factory::selectedMultiGraphPenColour;
    defaultCursorMarkerColour = factory::cursorMarkerColour;
    defaultCursorLineColour = factory::cursorLineColour;
    defaultEventMarkerColour = factory::eventMarkerColour;
    defaultEventLineColour = factory::eventLineColour;

    setGraphColour(defaultGraphColour);
    setSelectedMultiGraphPenColour(defaultSelectedMultiGraphPenColour);
    setCursorMarkerColour(defaultCursorMarkerColour);
    setCursorLineColour(defaultCursorLineColour);
    setEventMarkerColour(defaultEventMarkerColour);
    setEventLineColour(defaultEventLineColour);

    // From here on every colour change re-applies the palette, which is how the widgets learn of it.
    connect(this, &Application::GraphColourChanged, this, &Application::_setTheme, Qt::DirectConnection);
    connect(
        this, &Application::SelectedMultiGraphPenColourChanged, this, &Application::_setTheme, Qt::DirectConnection);
    connect(this, &Application::CursorMarkerColourChanged, this, &Application::_setTheme, Qt::DirectConnection);
    connect(this, &Application::CursorLineColourChanged, this, &Application::_setTheme, Qt::DirectConnection);
    connect(this, &Application::EventMarkerColourChanged, this, &Application::_setTheme, Qt::DirectConnection);
    connect(this, &Application::EventLineColourChanged, this, &Application::_setTheme, Qt::DirectConnection);

    loadSettings();
    _setTheme();
    connect(this, &QCoreApplication::aboutToQuit, this, &Application::saveSettings);

    logoBig = QPixmap(QStringLiteral("./Icons/tavix_logo_big.png"));
    logoSmall = QPixmap(QStringLiteral("./Icons/tavix_logo_small.png"));
}

QPalette Application::getPalette(bool dark) const
{
    const auto solid = [](const char* name) { return QBrush(QColor(QLatin1String(name))); };
    QPalette palette = QGuiApplication::palette();
    const QBrush text = solid(dark ? "#ffffff" : "#000000");
    const QBrush background = solid(dark ? "#333333" : "#f0f0f0");
    palette.setBrush(QPalette::All, QPalette::Text, text);
    palette.setBrush(QPalette::All, QPalette::BrightText, text);
    palette.setBrush(QPalette::All, QPalette::WindowText, text);
    palette.setBrush(QPalette::All, QPalette::ButtonText, text);
    palette.setBrush(QPalette::All, QPalette::Button, background);
    palette.setBrush(QPalette::All, QPalette::Base, background);
    palette.setBrush(QPalette::All, QPalette::Window, background);
    palette.setBrush(QPalette::All, QPalette::AlternateBase, solid(dark ? "#464646" : "#dddddd"));
    palette.setBrush(QPalette::All, QPalette::ToolTipBase, solid(dark ? "#000000" : "#ffffff"));
    palette.setBrush(QPalette::All, QPalette::ToolTipText, text);
    palette.setBrush(QPalette::All, QPalette::Highlight, solid("#6666ff"));
    palette.setBrush(QPalette::All, QPalette::HighlightedText, solid("#000000"));
    palette.setBrush(QPalette::All, QPalette::Link, solid(dark ? "#1d99f3" : "#9696ff"));
    palette.setBrush(QPalette::All, QPalette::LinkVisited, solid(dark ? "#9b59b6" : "#ff00ff"));
    return palette;
}

void Application::_setTheme()
{
    QPalette palette;
    switch (theme) {
    case Bright:
        palette = getPalette(false);
        break;
    case Dark:
        palette = getPalette(true);
        break;
    case Native:
        palette = QPalette();
        break;
    default:
        return;
    }
    // An unchanged palette would send no palette-change events, and the widgets re-read the user colours
    // on those events, so the Mid colour always moves by one step.
    QColor mid = palette.color(QPalette::Mid);
    if (mid.red() == QGuiApplication::palette().color(QPalette::Mid).red())
        mid.setRed(mid.red() < 150 ? mid.red() + 1 : mid.red() - 1);
    palette.setBrush(QPalette::All, QPalette::Mid, QBrush(mid));
    QApplication::setPalette(palette);
}

int Application::toggleTheme()
{
    switch (theme) {
    case Bright:
        theme = Dark;
        break;
    case Dark:
    case Native:
        theme = Bright;
        break;
    default:
        theme = Dark;
        break;
    }
    _setTheme();
    return theme;
}

QIcon Application::getEventIcon(std::string eventType) const
{
    // The first character is the event kind, the second the end-of-fibre mark.
    QString file = QStringLiteral("chart_zoom.svg");
    bool turned = true;
    if (eventType.size() > 1 && eventType[1] == 'E')
        file = QStringLiteral("otdr_end_connector.svg");
    else if (!eventType.empty() && eventType[0] == '0')
        file = QStringLiteral("otdr_splice.svg");
    else if (!eventType.empty() && eventType[0] == '1')
        file = QStringLiteral("otdr_connector.svg");
    else
        turned = false;

    QPixmap pixmap(QStringLiteral("./Icons/") + file);
    const QColor base = QGuiApplication::palette().color(QPalette::Active, QPalette::Base);
    const QColor colour = PixmapTools::contrastColour(base);
    // Qt's pixmap cache hands out the same pixmap, with the same key, until the file changes.
    const QString key = pixmap.isNull()
        ? QString()
        : QStringLiteral("%1 %2 %3").arg(pixmap.cacheKey()).arg(turned).arg(colour.rgba());
    if (const auto known = eventIcons.constFind(key); !key.isEmpty() && known != eventIcons.constEnd())
        return known.value();
    if (turned && !pixmap.isNull())
        pixmap = pixmap.transformed(QTransform().rotate(90), Qt::FastTransformation);
    QIcon icon(PixmapTools::recoloured(pixmap, colour));
    if (!key.isEmpty()) {
        if (eventIcons.size() >= 64) // icons of files since changed or of evicted pixmaps
            eventIcons.clear();
        eventIcons.insert(key, icon);
    }
    return icon;
}

void Application::setGraphColour(QColor colour)
{
    graphColour = colour;
    emit GraphColourChanged(graphColour);
}

void Application::setSelectedMultiGraphPenColour(QColor colour)
{
    selectedMultiGraphPenColour = colour;
    emit SelectedMultiGraphPenColourChanged(selectedMultiGraphPenColour);
}

void Application::setCursorMarkerColour(QColor colour)
{
    cursorMarkerColour = colour;
    emit CursorMarkerColourChanged(cursorMarkerColour);
}

void Application::setCursorLineColour(QColor colour)
{
    cursorLineColour = colour;
    emit CursorLineColourChanged(cursorLineColour);
}

void Application::setEventMarkerColour(QColor colour)
{
    eventMarkerColour = colour;
    emit EventMarkerColourChanged(eventMarkerColour);
}

void Application::setEventLineColour(QColor colour)
{
    eventLineColour = colour;
    emit EventLineColourChanged(eventLineColour);
}

void Application::resetGraphColour() { setGraphColour(defaultGraphColour); }

void Application::resetSelectedMultiGraphPenColour()
{
    setSelectedMultiGraphPenColour(defaultSelectedMultiGraphPenColour);
}

void Application::resetCursorMarkerColour() { setCursorMarkerColour(defaultCursorMarkerColour); }

void Application::resetCursorLineColour() { setCursorLineColour(defaultCursorLineColour); }

void Application::resetEventMarkerColour() { setEventMarkerColour(defaultEventMarkerColour); }

void Application::resetEventLineColour() { setEventLineColour(defaultEventLineColour); }
