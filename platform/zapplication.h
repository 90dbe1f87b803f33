#pragma once

#include <QApplication>
#include <QPointer>
#include <QRect>
#include <QVector>
#include <QWidget>

class QEventLoop;

// The handset's application object: a QApplication with a main widget, a 320 x 240 desktop and
// nestable event loops entered and left by name, as modal windows of the framework need them.
// Its windows share one place, as on the handset's screen: a window that is shown takes the place
// of the one in front, or of the one hidden last, whatever the window manager would choose.
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

    // The screen-filling window shown last, while it is shown: where popups belong.
    QWidget *frontWindow() const { return m_front && m_front->isVisible() ? m_front : nullptr; }

    // Runs a nested event loop until exit_loop() is called. Leaving takes effect once control
    // is back in the loop, so the slot that called exit_loop() runs to its end first.
    void enter_loop();
    void exit_loop();
    int loopLevel() const { return int(m_loops.size()); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeWindow(QWidget *window, QEvent::Type change);

    QPointer<QWidget> m_mainWidget;
    QVector<QEventLoop *> m_loops;
    // The window shown last, and where the last window to be hidden stood.
    QPointer<QWidget> m_front;
    QPoint m_place;
    bool m_placeKnown = false;
};

#define zApp ZApplication::instance()
