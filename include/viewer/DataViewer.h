#pragma once

#include "widgets/CTreeWidget.h"

#include <QTreeWidgetItem>

#include <string>

namespace sor {
class SORParser;
}

// The block tree of a single-trace tab: a summary, the acquisition configuration and, in advanced mode, every
// block and field of the file.
class DataViewer : public CTreeWidget {
    Q_OBJECT
public:
    explicit DataViewer(QWidget* parent = nullptr);
    ~DataViewer() override;

    bool advancedMode = false;
    QTreeWidgetItem mapItem;
    QTreeWidgetItem genItem;
    QTreeWidgetItem supItem;
    QTreeWidgetItem fxdItem;
    QTreeWidgetItem eventsItem;
    QTreeWidgetItem dataItem;
    QTreeWidgetItem tavixInfoItem;
    QTreeWidgetItem configurationItem;
    sor::SORParser* parser = nullptr; ///< not owned

    void _loadTavixInfo();
    void _loadConfiguration();
    void _loadMap();
    void _loadGen();
    void _loadSup();
    void _loadFxd();
    void _loadEvents();
    void _loadData();
    /// Adds label | value under item unless the value, decoded up to its first zero byte, is blank.
    void addString(QTreeWidgetItem& item, std::string& value, QString label);
    /// Gives the value column the width its shown values need, taken from the label column (at most 250 pixels
    /// wide), as far as the labels keep the width they need.
    void fitValueColumn();

protected:
    void changeEvent(QEvent* event) override;
    void updateGeometries() override;

private:
    void attach(QTreeWidgetItem& item, bool expanded);
    static QTreeWidgetItem* addRow(QTreeWidgetItem& item, const QString& label, const QString& value);
    bool fitting = false;
};
