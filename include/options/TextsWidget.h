#pragma once

#include "widgets/GWidget.h"

#include <QComboBox>
#include <QLabel>

// The "Texts" page: which code page the files' names, locations and comments are read in, for this session.
class TextsWidget : public GWidget {
    Q_OBJECT
public:
    explicit TextsWidget(QWidget* parent = nullptr);

    QLabel encodingLabel;
    QComboBox encodingBox; ///< item data: the analysis::TextEncoding as an int
    QLabel noteLabel;
};
