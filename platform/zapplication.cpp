#include "platform/zapplication.h"

#include "platform/zglobal.h"

#include <QEventLoop>
#include <QFont>
#include <QStyleFactory>
#include <QWindow>

ZApplication::ZApplication(int &argc, char **argv, Type)
    : QApplication(argc, argv)
{
    // "System" is the handset's font; a sans-serif face with a CJK fallback stands in for it.
    QFont::insertSubstitutions(QStringLiteral("System"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("Sans Serif")});
    QFont font(QStringLiteral("System"));
    font.setPixelSize(13);
    setFont(font);
    setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    installEventFilter(this);
}

ZApplication::~ZApplication() = default;

QRect ZApplication::desktop() const
{
    return QRect(QPoint(0, 0), ZGlobal::screenSize());
}

void ZApplication::enter_loop()
{
    QEventLoop loop;
    m_loops.append(&loop);
    loop.exec();
    m_loops.removeOne(&loop);
}

void ZApplication::exit_loop()
{
    if (!m_loops.isEmpty())
        m_loops.last()->exit();
}

bool ZApplication::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    // Spontaneous ones come from the window system, as when a window is minimised.
    if ((type == QEvent::Show || type == QEvent::Hide) && !event->spontaneous() &&
        watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        // Popups and dialogs lie over a window; only the screen-filling windows take turns.
        if (widget->windowType() == Qt::Window)
            placeWindow(widget, type);
    }
    return QApplication::eventFilter(watched, event);
}

// The show event arrives before the window is mapped, so the window manager is told the place
// with the window itself and nothing is seen to move. Places are those of the windows' contents,
// not of their frames, whose size the window system knows only while a window is shown.
void ZApplication::placeWindow(QWidget *window, QEvent::Type change)
{
    if (change == QEvent::Hide) {
        m_place = window->geometry().topLeft();
        m_placeKnown = true;
        return;
    }
    const bool frontShown = m_front && m_front != window && m_front->isVisible();
    // Set on the native window even where the widget believes it is there already, so the window
    // manager is asked for that place instead of choosing one.
    if (QWindow *handle = window->windowHandle(); handle && (frontShown || m_placeKnown))
        handle->setPosition(frontShown ? m_front->geometry().topLeft() : m_place);
    m_front = window;
}
