#pragma once

#include "widgets/GWidget.h"

#include <QPushButton>

// The start tab shown while no file is open: the large logo and the two advanced-mode buttons.
class InitialTabWidget : public GWidget {
    Q_OBJECT
public:
    explicit InitialTabWidget(QWidget* parent = nullptr);

    QPushButton viewFileButton;
    QPushButton compareFilesButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};
