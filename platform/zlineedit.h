#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// A text field with its title above it. Up and Down move to the previous and next field.
class ZLineEdit : public QWidget
{
    Q_OBJECT

public:
    explicit ZLineEdit(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    QString text() const;
    void setText(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_title;
    QLineEdit *m_edit;
};
