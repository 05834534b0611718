#include "options/HelpWidget.h"

HelpWidget::HelpWidget(QWidget* parent)
    : GWidget(parent)
{
    setObjectName(QStringLiteral("helpWidget"));
    browser.setObjectName(QStringLiteral("helpBrowser"));
    layout->addWidget(&browser);
    browser.setText(helpText());
}

QString HelpWidget::helpText()
{
    return tr("<P><p><h1>TAVIX SOR-Viewer</h1></p><p><h2>Usage</h2><ul>"
              "<li>Click 'Open File' to open a single .sor file.</li>"
              "<li>Click 'Compare Files' to open multiple .sor files in a special comparison tab.</li>"
              "<li>You can also drag'n'drop files into the viewer to open them in a new tab. Dropping multiple files "
              "at once will open them in a comparison tab, but dropping multiple files while holding ctrl will open "
              "each in a separate single file view tab.</li>"
              "<li>Opening a file that is already opened in a tab will instead open that tab.</li>"
              "<li>Use the scroll wheel to zoom or drag a box with left-click.</li>"
              "<li>When using left-click to draw a box the current viewpoint will be saved and can be restored using "
              "right-click.</li>"
              "<li>Use the middle mouse button to drag the view in the plot.</li>"
              "<li>In the single file view you can also click in the minimap to move the main view.</li>"
              "<li>Use ctrl+left- or right-click to set cursors.</li>"
              "<li>You can also drag the markers around with left-click.</li>"
              "<li>Use alt+C to change between two cursor data display modes.</li>"
              "<li>You can hover over event points or click on event data to highlight the corresponding other in "
              "single view.</li>"
              "<li>In the .sor compare view you can select plots from the list on the right to show their events and "
              "highlight the graph in green.</li>"
              "<li>Double-clicking a plot in the list will change its colour. (Useful in case the generated colour is "
              "difficult to see.)</li>"
              "<li>The plot list in the .sor compare view has tooltips that show a quick overview. To open the plot in "
              "a single view click the 'View' button.</li>"
              "<li>The tooltip in the graph will give you the position of the nearest point, if one is close, while "
              "the status bar will always tell you the exact mouse pointer position.</li>"
              "<li>The event icons have tooltips that display the .sor event classification (which is different to "
              "the TAVIX internal classification).</li>"
              "<li>The left and right arrow key can also be used to move cursor A or, when holding ctrl, cursor B. The "
              "arrow keys move the cursors from data point to data point which allows precise measurements. Due to "
              "the slow speed in cases with many data points it is advised to primarily use the other cursor movement "
              "options and only use the arrow keys when precise movement is needed.</li>"
              "<li>The backwards and forwards buttons on the mouse (mouse buttons 4 and 5) can be used to easily "
              "switch between open tabs.</li>"
              "<li>Use ctrl+W to close the current tab.</li>"
              "</ul></p></P>");
}
