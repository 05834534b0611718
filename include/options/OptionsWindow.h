#pragma once

#include "options/AboutWidget.h"
#include "options/ColourWidget.h"
#include "options/HelpWidget.h"

#include <QMainWindow>
#include <QTabWidget>

// The menu window: the "Help", "About" and "Colour" pages as tabs. Created once, only shown and hidden.
class OptionsWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit OptionsWindow(QWidget* parent = nullptr);

    QTabWidget tabWidget;
    HelpWidget helpWidget;
    AboutWidget aboutWidget;
    ColourWidget colourWidget;
};
