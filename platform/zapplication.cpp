#include "platform/zapplication.h"

#include "platform/zglobal.h"

#include <QEventLoop>
#include <QFont>
#include <QStyleFactory>

ZApplication::ZApplication(int &argc, char **argv, Type)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Pictalux"));
    // "System" is the handset's font; a sans-serif face with a CJK fallback stands in for it.
    QFont::insertSubstitutions(QStringLiteral("System"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("Sans Serif")});
    QFont font(QStringLiteral("System"));
    font.setPixelSize(13);
    setFont(font);
    setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
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
