#include "platform/zkbmainwidget.h"

#include "platform/handsetkeys.h"
#include "platform/zappinfoarea.h"
#include "platform/zglobal.h"
#include "platform/zsoftkey.h"

#include <QKeyEvent>
#include <QVBoxLayout>

ZKbMainWidget::ZKbMainWidget(QWidget *parent, const char *name)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this))
    , m_titleBar(new ZAppInfoArea(this))
{
    setObjectName(QString::fromLatin1(name));
    setFixedSize(ZGlobal::screenSize());
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_titleBar);
}

void ZKbMainWidget::setMainWidgetTitle(const QString &title)
{
    setWindowTitle(title);
    m_titleBar->setTitle(title);
}

void ZKbMainWidget::setTitleBarWidget(ZAppInfoArea *titleBar)
{
    titleBar->setTitle(m_titleBar->title());
    QWidget *old = m_titleBar;
    replace(old, titleBar, 0);
    m_titleBar = titleBar;
}

void ZKbMainWidget::setContentWidget(QWidget *content)
{
    replace(m_content, content, 1);
    m_layout->setStretchFactor(content, 1);
}

void ZKbMainWidget::setCSTWidget(ZSoftKey *softKey)
{
    QWidget *old = m_softKey;
    replace(old, softKey, -1);
    m_softKey = softKey;
}

// Puts a widget in its place in the column: title bar first, then content, softkey bar last.
void ZKbMainWidget::replace(QWidget *&slot, QWidget *widget, int position)
{
    if (slot) {
        m_layout->removeWidget(slot);
        slot->deleteLater();
    }
    slot = widget;
    m_layout->insertWidget(position, widget);
}

void ZKbMainWidget::keyPressEvent(QKeyEvent *event)
{
    const int code = handsetKeyCode(event);
    if (m_softKey && (code == HandsetKey::F9 || code == HandsetKey::F11)) {
        m_softKey->press(code == HandsetKey::F9 ? 0 : 1);
        return;
    }
    QWidget::keyPressEvent(event);
}

void ZKbMainWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A handset window that appears is the one the keys go to.
    raise();
    activateWindow();
}
