#include "options/OptionsWindow.h"

OptionsWindow::OptionsWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("optionsWindow"));
    tabWidget.setObjectName(QStringLiteral("optionsTabs"));
    setWindowTitle(tr("TAVIX SOR-Viewer Menu"));
    setCentralWidget(&tabWidget);
    tabWidget.addTab(&helpWidget, tr("Help"));
    tabWidget.addTab(&aboutWidget, tr("About"));
    tabWidget.addTab(&colourWidget, tr("Colour"));
    tabWidget.addTab(&textsWidget, tr("Texts"));
}
