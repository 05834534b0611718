#pragma once

#include "widgets/TightGridLayout.h"

#include <QWidget>

// Base of the program's panels: a widget whose grid layout has no margins.
class GWidget : public QWidget {
    Q_OBJECT
public:
    explicit GWidget(QWidget* parent = nullptr);

    TightGridLayout* layout = nullptr; // installed as the widget's layout, owned by the widget
};
