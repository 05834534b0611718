#pragma once

#include "widgets/GWidget.h"

#include <QTextBrowser>

class QUrl;

// The "About" page: product, version, licence and where to turn; links open in the desktop's own programs.
class AboutWidget : public GWidget {
    Q_OBJECT
public:
    explicit AboutWidget(QWidget* parent = nullptr);

    QTextBrowser browser; ///< never navigates itself

    static QString aboutText();

public slots:
    void openLink(const QUrl& url);

protected:
    void changeEvent(QEvent* event) override;
};
