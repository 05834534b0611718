#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Closes every message box that opens while it lives, recording title and text, so code that asks the user can
// run in a test without blocking.
class MessageBoxCloser : public QObject {
public:
    MessageBoxCloser()
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, this, [this] {
            const auto widgets = QApplication::topLevelWidgets();
            for (QWidget* w : widgets) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (box && box->isVisible()) {
                    titles << box->windowTitle();
                    texts << box->text();
                    box->done(0);
                }
            }
        });
        timer.start();
    }

    QStringList titles;
    QStringList texts;

private:
    QTimer timer;
};
