#include "platform/zpopup.h"

#include "platform/focusreturn.h"
#include "platform/handsetkeys.h"
#include "platform/res_icon_reader.h"
#include "platform/zappinfoarea.h"
#include "platform/zapplication.h"
#include "platform/zglobal.h"
#include "platform/zsoftkey.h"

#include <QKeyEvent>
#include <QVBoxLayout>

ZPopup::ZPopup(QWidget *parent)
    : QDialog(parent)
    , m_titleBar(new ZAppInfoArea(this))
    , m_content(new QVBoxLayout)
    , m_softKey(new ZSoftKey("CST_2", this))
{
    setModal(true);
    setMinimumWidth(ZGlobal::ScreenWidth * 3 / 4);
    setMaximumSize(ZGlobal::screenSize());
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_titleBar);
    m_content->setContentsMargins(10, 8, 10, 8);
    column->addLayout(m_content, 1);
    column->addWidget(m_softKey);
    m_softKey->setClickedSlot(0, this, SLOT(accept()));
    m_softKey->setClickedSlot(1, this, SLOT(reject()));
}

void ZPopup::setTitle(const QString &title)
{
    setWindowTitle(title);
    m_titleBar->setTitle(title);
}

QString ZPopup::title() const
{
    return m_titleBar->title();
}

void ZPopup::setTitleIcon(const QString &iconName)
{
    m_titleBar->setTitleIcon(RES_ICON_Reader().getIcon(iconName));
}

int ZPopup::exec()
{
    const FocusReturn focusReturn;
    fitContents();
    placeOverFrontWindow();
    return QDialog::exec();
}

// Qt centres a dialog without a parent on the screen; on a display larger than the handset's,
// the popup belongs over the program's window, as it lies on the handset.
void ZPopup::placeOverFrontWindow()
{
    const auto *application = qobject_cast<ZApplication *>(QCoreApplication::instance());
    const QWidget *front = application ? application->frontWindow() : nullptr;
    if (parentWidget() || !front)
        return;
    QRect place(QPoint(), size());
    place.moveCenter(front->frameGeometry().center());
    move(place.topLeft());
}

// A window's layout gives it the height of its contents at their preferred width, which is too
// little for a text that wraps at the popup's own width: its first lines were cut off.
void ZPopup::fitContents()
{
    layout()->activate();
    const int width = qBound(minimumWidth(), sizeHint().width(), maximumWidth());
    const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width)
                                                     : sizeHint().height();
    resize(width, qMin(height, maximumHeight()));
}

void ZPopup::setSoftKeyTexts(const QString &confirm, const QString &cancel)
{
    m_softKey->setText(0, confirm);
    m_softKey->setText(1, cancel);
}

void ZPopup::keyPressEvent(QKeyEvent *event)
{
    switch (handsetKeyCode(event)) {
    case HandsetKey::Return:
    case HandsetKey::Enter:
    case HandsetKey::F9:
        accept();
        return;
    case HandsetKey::F11:
    case HandsetKey::Escape:
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}
