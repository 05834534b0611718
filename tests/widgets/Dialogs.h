#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// While alive, accepts every message box as soon as it shows and records its title and text.
class MessageBoxCloser : public QObject {
public:
    MessageBoxCloser()
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            const auto widgets = QApplication::topLevelWidgets();
            for (QWidget* w : widgets) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (box && box->isVisible()) {
                    titles << box->windowTitle();
                    texts << box->text();
                    box->accept();
                }
            }
        });
        timer.start(5);
    }

    QStringList titles;
    QStringList texts;

private:
    QTimer timer;
};
