#pragma once

#include <QStandardItemModel>

// Item model behind the chart diagrams: rows of x, y, tool tip, point kind and point number.
class CItemModel : public QStandardItemModel {
    Q_OBJECT
public:
    explicit CItemModel(QObject* parent = nullptr);
};
