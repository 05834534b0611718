#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

class PlotEntity;
class QHBoxLayout;
class QListWidgetItem;

// One row of the trace list: visibility box, a swatch of the trace's colour, name with event count and cursor
// reading, "View" and "Remove".
class MultiPlotOverviewItemWidget : public QWidget {
    Q_OBJECT
public:
    MultiPlotOverviewItemWidget(PlotEntity* entity, QListWidgetItem* item, QWidget* parent = nullptr);
    ~MultiPlotOverviewItemWidget() override;

    QHBoxLayout* rowLayout = nullptr;
    QLabel label;
    QCheckBox visibleBox;
    QLabel swatch; ///< filled with the trace's own colour
    QPushButton viewButton;
    QPushButton removeButton;
    PlotEntity* entity = nullptr; ///< null once removal was requested
    QListWidgetItem* item = nullptr;

    void setCursorText(QString shortText, QString cursorToolTip);
    QString getStdLabelToolTip();
    /// Fills the swatch with the trace's colour again.
    void updateSwatch();

public Q_SLOTS:
    void changeVisibility();
    void deletePlot();
    void openInSingleView();

Q_SIGNALS:
    /// "View": the file of this trace in a single-trace tab of its own.
    void openFileRequested(const QString& path);

private:
    QString nameText() const;
};
