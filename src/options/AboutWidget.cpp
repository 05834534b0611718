#include "options/AboutWidget.h"

#include <QDesktopServices>
#include <QEvent>
#include <QUrl>

#ifndef TAVIX_VERSION
#error "TAVIX_VERSION is set by the build"
#endif

AboutWidget::AboutWidget(QWidget* parent)
    : GWidget(parent)
{
    setObjectName(QStringLiteral("aboutWidget"));
    browser.setObjectName(QStringLiteral("aboutBrowser"));
    layout->addWidget(&browser);
    browser.setText(aboutText());
    browser.setOpenLinks(false);
    connect(&browser, &QTextBrowser::anchorClicked, this, &AboutWidget::openLink);
}

QString AboutWidget::aboutText()
{
    return tr("<b>TAVIX SOR-Viewer</b><br>"
              "A viewer for OTDR measurement files in the Telcordia SR-4731 format (.sor, version 2.0): the trace "
              "with zoom, cursors and the detected events, every block and field of the file, and several traces "
              "compared on one chart.<br>"
              "Version %1<br>"
              "Built with <a href=\"https://www.qt.io/\">Qt</a> %2 and "
              "<a href=\"https://invent.kde.org/graphics/kdiagram\">KChart</a>.<br>"
              "Licence: GNU General Public License, version 2 or later, the terms of the KChart library it is built "
              "with.<br>"
              "Contact: see the README that comes with the program; questions and fault reports go to the project's "
              "issue tracker.")
        .arg(QStringLiteral(TAVIX_VERSION), QString::fromLatin1(qVersion()));
}

void AboutWidget::openLink(const QUrl& url)
{
    // A link the desktop cannot open is not reported.
    QDesktopServices::openUrl(url);
}

void AboutWidget::changeEvent(QEvent* event)
{
    GWidget::changeEvent(event);
    // Links take the link colour when the text is parsed, so a new theme needs the text set again.
    if (event->type() == QEvent::PaletteChange)
        browser.setText(aboutText());
}
