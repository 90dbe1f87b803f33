#pragma once

#include <QDialog>

class QVBoxLayout;
class ZAppInfoArea;
class ZSoftKey;

// A modal popup over the current window: title bar, content and a softkey bar. Return, Enter
// and F9 confirm (exec() returns non-zero); F11 and Escape cancel (exec() returns 0).
class ZPopup : public QDialog
{
    Q_OBJECT

public:
    explicit ZPopup(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    QString title() const;
    // The icon is one of the system icons, named by its file name.
    void setTitleIcon(const QString &iconName);

    // The texts of the left (confirming) and right (cancelling) keys; the platform cannot read
    // the program's language files, so a caller that shows its own language sets them.
    void setSoftKeyTexts(const QString &confirm, const QString &cancel);

    int exec() override;

protected:
    QVBoxLayout *contentLayout() const { return m_content; }
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fitContents();
    void placeOverFrontWindow();

    ZAppInfoArea *m_titleBar;
    QVBoxLayout *m_content;
    ZSoftKey *m_softKey;
};
