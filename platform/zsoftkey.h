#pragma once

#include <QWidget>

class QPushButton;
class ZOptionsMenu;

// The softkey bar at the bottom of a window: key 0 on the left (F9), key 1 on the right (F11).
// A key either calls a slot or opens an options menu; while that menu is open the two keys
// read as the menu's own texts.
class ZSoftKey : public QWidget
{
    Q_OBJECT

public:
    static constexpr int KeyCount = 2;

    explicit ZSoftKey(const char *layout, QWidget *parent = nullptr);

    void setText(int index, const QString &text);
    QString text(int index) const;
    // The slot is given as SLOT(name()) and connected by its signature.
    void setClickedSlot(int index, QObject *receiver, const char *slot);
    void setOptMenu(int index, ZOptionsMenu *menu);
    void setTextForOptMenuShow(const QString &first, const QString &second);
    void setTextForOptMenuHide(const QString &text);

    // What pressing the key does: F9 and F11 come here, and so does a click on the key.
    void press(int index);

private:
    void showMenuTexts(bool menuOpen);

    QPushButton *m_keys[KeyCount];
    ZOptionsMenu *m_menus[KeyCount] = {nullptr, nullptr};
    QString m_texts[KeyCount];
    QString m_menuShowTexts[KeyCount];
    QString m_menuHideText;
};
