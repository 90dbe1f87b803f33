#pragma once

#include <QApplication>
#include <QPointer>
#include <QRect>
#include <QVector>
#include <QWidget>

class QEventLoop;

// The handset's application object: a QApplication with a main widget, a 320 x 240 desktop and
// nestable event loops entered and left by name, as modal windows of the framework need them.
class ZApplication : public QApplication
{
    Q_OBJECT

public:
    enum Type { GuiClient = 1 };

    ZApplication(int &argc, char **argv, Type type = GuiClient);
    ~ZApplication() override;

    static ZApplication *instance()
    {
        return static_cast<ZApplication *>(QCoreApplication::instance());
    }

    void setMainWidget(QWidget *widget) { m_mainWidget = widget; }
    QWidget *mainWidget() const { return m_mainWidget; }

    // The handset screen, whatever the size of the display the program runs on.
    QRect desktop() const;

    // Runs a nested event loop until exit_loop() is called. Leaving takes effect once control
    // is back in the loop, so the slot that called exit_loop() runs to its end first.
    void enter_loop();
    void exit_loop();
    int loopLevel() const { return int(m_loops.size()); }

private:
    QPointer<QWidget> m_mainWidget;
    QVector<QEventLoop *> m_loops;
};

#define zApp ZApplication::instance()
