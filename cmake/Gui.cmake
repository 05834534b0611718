# The viewer, one static library per layer. Each links only the layers below it, so that code reaching upward does
# not link: core (the application object and its settings), charts (the widget bases and the single-trace chart with
# its cursor panel and event markers, which point at each other), views (block tree, comparison, cable table,
# options pages), report (painted from what the caller hands in), shell (main window and tabs); main.cpp on top.

add_library(tavix_core STATIC
    include/core/Application.h src/core/Application.cpp src/core/Application_Settings.cpp
    include/core/AppStyle.h src/core/AppStyle.cpp
    include/core/FactoryColours.h
    include/core/PixmapTools.h src/core/PixmapTools.cpp
)
set_target_properties(tavix_core PROPERTIES AUTOMOC ON)
target_link_libraries(tavix_core PUBLIC tavix_settings Qt5::Widgets)

add_library(tavix_charts STATIC
    include/widgets/GWidget.h src/widgets/GWidget.cpp
    include/widgets/TightGridLayout.h src/widgets/TightGridLayout.cpp
    include/widgets/CSplitter.h src/widgets/CSplitter.cpp
    include/widgets/CTreeWidget.h src/widgets/CTreeWidget.cpp
    include/widgets/CListWidget.h src/widgets/CListWidget.cpp
    include/widgets/CItemModel.h src/widgets/CItemModel.cpp
    include/widgets/ItemViewCopy.h src/widgets/ItemViewCopy.cpp
    include/widgets/ToolTipDelegate.h src/widgets/ToolTipDelegate.cpp
    include/widgets/PlainText.h
    include/widgets/ReadoutNumber.h
    src/widgets/SideButtons.h

    include/plotter/PlaneControl.h src/plotter/PlaneControl.cpp
    include/plotter/Ticks.h src/plotter/Ticks.cpp
    include/plotter/ChartStyle.h src/plotter/ChartStyle.cpp
    include/plotter/PointRows.h src/plotter/PointRows.cpp
    include/plotter/ChartInteraction.h src/plotter/ChartInteraction.cpp
    include/plotter/Decimation.h src/plotter/Decimation.cpp
    include/plotter/MarkerPainting.h src/plotter/MarkerPainting.cpp
    include/plotter/ChartView.h src/plotter/ChartView.cpp
    include/plotter/TraceModel.h src/plotter/TraceModel.cpp
    include/plotter/TraceDiagram.h src/plotter/TraceDiagram.cpp
    include/plotter/Plotter.h src/plotter/Plotter.cpp src/plotter/PlotterInteraction.cpp src/plotter/PlotterPainting.cpp
    include/plotter/_Plot.h src/plotter/_Plot.cpp
    include/plotter/MinimapSource.h
    include/plotter/MinimapPlotter.h src/plotter/MinimapPlotter.cpp
    include/plotter/_MinimapPlot.h src/plotter/_MinimapPlot.cpp

    include/cursors/CursorWidget.h src/cursors/CursorWidget.cpp
    include/cursors/CursorReadout.h src/cursors/CursorReadout.cpp
    include/events/OTDREvent.h src/events/OTDREvent.cpp
    include/events/OTDREventHandler.h src/events/OTDREventHandler.cpp
    include/events/OwnEventsBar.h src/events/OwnEventsBar.cpp
    include/events/AnalysisDialog.h src/events/AnalysisDialog.cpp
)
set_target_properties(tavix_charts PROPERTIES AUTOMOC ON)
target_link_libraries(tavix_charts PUBLIC tavix_core analysis Qt5::Widgets Qt5::Svg KChart)

add_library(tavix_views STATIC
    include/viewer/DataViewer.h src/viewer/DataViewer.cpp

    include/compare/PlotEntity.h src/compare/PlotEntity.cpp
    include/compare/_MultiPlot.h src/compare/_MultiPlot.cpp
    include/compare/MultiPlotter.h src/compare/MultiPlotter.cpp src/compare/MultiPlotterInteraction.cpp
    include/compare/MultiPlotOverview.h src/compare/MultiPlotOverview.cpp
    include/compare/MultiPlotOverviewItemWidget.h src/compare/MultiPlotOverviewItemWidget.cpp
    include/compare/MultiPlotEventDisplay.h src/compare/MultiPlotEventDisplay.cpp
    include/compare/MultiInfoWidget.h src/compare/MultiInfoWidget.cpp
    include/compare/SORMultiTab.h src/compare/SORMultiTab.cpp

    include/cable/CableModel.h src/cable/CableModel.cpp
    include/cable/CableProxyModel.h src/cable/CableProxyModel.cpp
    include/cable/CableScan.h src/cable/CableScan.cpp
    include/cable/CableTab.h src/cable/CableTab.cpp
    include/cable/ThresholdsDialog.h src/cable/ThresholdsDialog.cpp
    include/cable/FibreTableModel.h src/cable/FibreTableModel.cpp
    include/cable/CableFibres.h src/cable/CableFibres.cpp
    include/fibre/FibrePlotter.h src/fibre/FibrePlotter.cpp
    include/fibre/FibreEventModel.h src/fibre/FibreEventModel.cpp
    include/fibre/FibreTab.h src/fibre/FibreTab.cpp

    include/options/OptionsWindow.h src/options/OptionsWindow.cpp
    include/options/HelpWidget.h src/options/HelpWidget.cpp
    include/options/AboutWidget.h src/options/AboutWidget.cpp
    include/options/ColourWidget.h src/options/ColourWidget.cpp
    include/options/TextsWidget.h src/options/TextsWidget.cpp
    include/options/ColourEntry.h src/options/ColourEntry.cpp
)
set_target_properties(tavix_views PROPERTIES AUTOMOC ON)
target_link_libraries(tavix_views PUBLIC tavix_charts Qt5::Concurrent)

add_library(tavix_report STATIC
    include/report/Pages.h src/report/Pages.cpp
    include/report/Style.h
    include/report/Composer.h src/report/Composer.cpp
    include/report/Table.h src/report/Table.cpp
    include/report/ReportChart.h src/report/ReportChart.cpp
    include/report/Sections.h src/report/Sections.cpp
    include/report/TraceReport.h src/report/TraceReport.cpp
    include/report/ComparisonReport.h src/report/ComparisonReport.cpp
    include/report/VerdictSection.h src/report/VerdictSection.cpp
    include/report/CableReport.h src/report/CableReport.cpp
    include/report/FibreReport.h src/report/FibreReport.cpp
    include/report/Output.h src/report/Output.cpp
)
target_link_libraries(tavix_report PUBLIC tavix_charts Qt5::PrintSupport Qt5::Svg Qt5::Concurrent)

add_library(tavix_shell STATIC
    include/shell/CommandLine.h src/shell/CommandLine.cpp
    include/shell/CommandLineReport.h src/shell/CommandLineReport.cpp
    include/shell/InitialTabWidget.h src/shell/InitialTabWidget.cpp
    include/shell/MainTabWidget.h src/shell/MainTabWidget.cpp
    include/shell/MainWindow.h src/shell/MainWindow.cpp
    include/shell/SORTab.h src/shell/SORTab.cpp src/shell/SORTab_Own.cpp
    include/shell/InfoWidget.h src/shell/InfoWidget.cpp
    include/shell/TabReport.h src/shell/TabReport.cpp
    include/shell/ReportDialog.h src/shell/ReportDialog.cpp
)
set_target_properties(tavix_shell PROPERTIES AUTOMOC ON)
target_link_libraries(tavix_shell PUBLIC tavix_views tavix_report)

# Shown on the about page, in the reports and by --version.
foreach(library tavix_views tavix_report tavix_shell)
    target_compile_definitions(${library} PRIVATE TAVIX_VERSION="${PROJECT_VERSION}")
endforeach()

# The message catalogues, built with lrelease and compiled in as the resource folder "translations".
set(TAVIX_TRANSLATIONS_DIR ${CMAKE_BINARY_DIR}/translations)
set(TAVIX_QM_FILES)
foreach(lang en de)
    set(ts ${CMAKE_SOURCE_DIR}/resources/translations/trans_${lang}.ts)
    set(qm ${TAVIX_TRANSLATIONS_DIR}/trans_${lang}.qm)
    add_custom_command(OUTPUT ${qm}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVIX_TRANSLATIONS_DIR}
        COMMAND ${LRELEASE_EXECUTABLE} -silent ${ts} -qm ${qm}
        DEPENDS ${ts}
        COMMENT "Compiling trans_${lang}.qm")
    list(APPEND TAVIX_QM_FILES ${qm})
endforeach()
file(CONFIGURE OUTPUT ${TAVIX_TRANSLATIONS_DIR}/translations.qrc CONTENT [[
<RCC>
    <qresource prefix="/translations">
        <file>trans_en.qm</file>
        <file>trans_de.qm</file>
    </qresource>
</RCC>
]])
add_custom_command(OUTPUT ${TAVIX_TRANSLATIONS_DIR}/qrc_translations.cpp
    COMMAND Qt5::rcc --name translations --output ${TAVIX_TRANSLATIONS_DIR}/qrc_translations.cpp
        ${TAVIX_TRANSLATIONS_DIR}/translations.qrc
    DEPENDS ${TAVIX_QM_FILES} ${TAVIX_TRANSLATIONS_DIR}/translations.qrc
    COMMENT "Compiling the translations resource")
# Object library, so its static initializer registers the resource in every program that links it.
add_library(tavix_translations OBJECT ${TAVIX_TRANSLATIONS_DIR}/qrc_translations.cpp)
target_link_libraries(tavix_translations PRIVATE Qt5::Core)

add_executable(tavix-sor-viewer src/app/main.cpp)
target_link_libraries(tavix-sor-viewer PRIVATE tavix_shell tavix_translations)

# Renders the icon sources; only tools/make_icons.sh builds it.
add_executable(svg2png EXCLUDE_FROM_ALL tools/svg2png.cpp)
target_link_libraries(svg2png PRIVATE Qt5::Gui Qt5::Svg)

include(cmake/Install.cmake)
