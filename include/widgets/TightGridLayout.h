#pragma once

#include <QGridLayout>

// The grid layout of GWidget; a class of its own so layouts of the program can be told apart.
class TightGridLayout : public QGridLayout {
    Q_OBJECT
public:
    explicit TightGridLayout(QWidget* parent = nullptr);
};
