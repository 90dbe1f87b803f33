#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// A text field with its title above it.
class ZLineEdit : public QWidget
{
    Q_OBJECT

public:
    explicit ZLineEdit(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    QString text() const;
    void setText(const QString &text);

private:
    QLabel *m_title;
    QLineEdit *m_edit;
};
