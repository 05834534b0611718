#pragma once

#include "widgets/CItemModel.h"

#include <QObject>
#include <QPropertyAnimation>

#include <cstddef>
#include <vector>

class Plotter;
class QTreeWidgetItem;

namespace KChart {
class Plotter;
}

namespace sor {
class SORParser;
struct KeyEventData;
} // namespace sor

// One key event: its row in the event table and its diamond on the trace, linked by two pulse animations.
class OTDREvent : public QObject {
    Q_OBJECT
    Q_PROPERTY(float brightness MEMBER brightness WRITE setBrightness RESET resetBrightness)
    Q_PROPERTY(float markerSize MEMBER markerSize WRITE setMarkerSize RESET resetMarkerSize)
public:
    explicit OTDREvent(QObject* parent = nullptr);

    bool advanced = false;
    bool withMarker = true; ///< false past the marker limit of a file with absurdly many events
    bool unmeasuredDash = false; ///< a value that is not a number is one the analysis did not measure: "–"
    /// Element k: the cumulative loss at row k; shared by the panel so that a long list is not summed again for
    /// every row. Without it the loss is summed here.
    const std::vector<double>* cumulativeSums = nullptr;
    QTreeWidgetItem* item = nullptr; ///< owned by the event table
    sor::KeyEventData* keyEvent = nullptr; ///< points into the parser's event list
    Plotter* plotter = nullptr;
    sor::SORParser* parser = nullptr;
    KChart::Plotter* markerDiagram = nullptr; ///< owned by the main chart's plane
    CItemModel markerModel;
    QPropertyAnimation brightnessAnimation;
    QPropertyAnimation markerSizeAnimation;
    float brightness = 1.0f;
    float markerSize = 1.0f;

    QTreeWidgetItem* loadEvent(sor::SORParser* parser, Plotter* plotter, sor::KeyEventData* keyEvent, bool advanced);
    void createEventMarker();
    void setBrightness(float b);
    void resetBrightness();
    void setMarkerSize(float size);
    void resetMarkerSize();

    /// The cumulative loss of the event list's row, as the event tables show it.
    static double cumulativeLoss(const sor::SORParser& parser, size_t row);

Q_SIGNALS:
    void brightnessChanged(float);
    void markerSizeChanged(float);

private:
    void applyMarkerSize(float size);
};
