#include "platform/zsoftkey.h"

#include "platform/zglobal.h"
#include "platform/zoptionsmenu.h"

#include <QHBoxLayout>
#include <QPushButton>

ZSoftKey::ZSoftKey(const char *, QWidget *parent)
    : QWidget(parent)
{
    setFixedHeight(ZGlobal::SoftKeyHeight);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    colours.setColor(QPalette::ButtonText, Qt::white);
    setPalette(colours);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    for (int index = 0; index < KeyCount; ++index) {
        auto *key = new QPushButton(this);
        key->setFlat(true);
        key->setFocusPolicy(Qt::NoFocus);
        key->setCursor(Qt::PointingHandCursor);
        QFont bold = key->font();
        bold.setBold(true);
        key->setFont(bold);
        m_keys[index] = key;
    }
    layout->addWidget(m_keys[0], 0, Qt::AlignLeft);
    layout->addStretch();
    layout->addWidget(m_keys[1], 0, Qt::AlignRight);
}

void ZSoftKey::setText(int index, const QString &text)
{
    m_texts[index] = text;
    m_keys[index]->setText(text);
}

QString ZSoftKey::text(int index) const
{
    return m_keys[index]->text();
}

void ZSoftKey::setClickedSlot(int index, QObject *receiver, const char *slot)
{
    connect(m_keys[index], SIGNAL(clicked()), receiver, slot);
}

void ZSoftKey::setOptMenu(int index, ZOptionsMenu *menu)
{
    m_menus[index] = menu;
    connect(m_keys[index], &QPushButton::clicked, menu, &ZOptionsMenu::popupInWindow);
    connect(menu, &QMenu::aboutToShow, this, [this] { showMenuTexts(true); });
    connect(menu, &QMenu::aboutToHide, this, [this] { showMenuTexts(false); });
}

void ZSoftKey::setTextForOptMenuShow(const QString &first, const QString &second)
{
    m_menuShowTexts[0] = first;
    m_menuShowTexts[1] = second;
}

void ZSoftKey::setTextForOptMenuHide(const QString &text)
{
    m_menuHideText = text;
}

void ZSoftKey::press(int index)
{
    if (index >= 0 && index < KeyCount)
        m_keys[index]->click();
}

void ZSoftKey::showMenuTexts(bool menuOpen)
{
    for (int index = 0; index < KeyCount; ++index) {
        if (menuOpen)
            m_keys[index]->setText(m_menuShowTexts[index]);
        else
            m_keys[index]->setText(m_menus[index] ? m_menuHideText : m_texts[index]);
    }
}
