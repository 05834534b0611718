#pragma once

#include "widgets/CItemModel.h"

#include <QObject>
#include <QPropertyAnimation>

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

    /// Sum of the splice losses of the first count events of the file (never past its last event).
    static double cumulativeLoss(const sor::SORParser& parser, unsigned count);

Q_SIGNALS:
    void brightnessChanged(float);
    void markerSizeChanged(float);

private:
    void applyMarkerSize(float size);
};
