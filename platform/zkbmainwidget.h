#pragma once

#include <QWidget>

class QVBoxLayout;
class ZAppInfoArea;
class ZSoftKey;

// A top-level handset window: title bar, content area and softkey bar, filling the 320 x 240
// screen. F9 presses softkey 0 and F11 softkey 1 whichever child has the focus.
class ZKbMainWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ZKbMainWidget(QWidget *parent = nullptr, const char *name = nullptr);

    void setMainWidgetTitle(const QString &title);
    void setTitleBarWidget(ZAppInfoArea *titleBar);
    void setContentWidget(QWidget *content);
    void setCSTWidget(ZSoftKey *softKey);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void replace(QWidget *&slot, QWidget *widget, int position);

    QVBoxLayout *m_layout;
    ZAppInfoArea *m_titleBar;
    QWidget *m_content = nullptr;
    ZSoftKey *m_softKey = nullptr;
};
