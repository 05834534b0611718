#pragma once

#include "widgets/GWidget.h"

#include <QTextBrowser>

// The "Help" page: the user manual, a list of what the mouse and keys do.
class HelpWidget : public GWidget {
    Q_OBJECT
public:
    explicit HelpWidget(QWidget* parent = nullptr);

    QTextBrowser browser;

    static QString helpText();
};
