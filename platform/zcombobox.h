#pragma once

#include <QWidget>

class QComboBox;
class QLabel;

// A choice among texts, with an instruction before it. Left and Right change the choice and
// emit activated(); Up and Down are left to the form around it.
class ZComboBox : public QWidget
{
    Q_OBJECT

public:
    explicit ZComboBox(QWidget *parent = nullptr);

    void setDlgInstructText(const QString &text);
    void insertStringList(const QStringList &texts, int index = -1);
    int count() const;
    QString text(int index) const;
    int currentItem() const;

signals:
    void activated(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_instruction;
    QComboBox *m_combo;
};
