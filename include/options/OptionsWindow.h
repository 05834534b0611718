#pragma once

#include "options/AboutWidget.h"
#include "options/ColourWidget.h"
#include "options/HelpWidget.h"
#include "options/TextsWidget.h"

#include <QMainWindow>
#include <QTabWidget>

// The menu window: the "Help", "About", "Colour" and "Texts" pages as tabs. Created once, only shown and hidden.
class OptionsWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit OptionsWindow(QWidget* parent = nullptr);

    QTabWidget tabWidget;
    HelpWidget helpWidget;
    AboutWidget aboutWidget;
    ColourWidget colourWidget;
    TextsWidget textsWidget;
};
