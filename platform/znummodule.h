#pragma once

#include <QWidget>

class QHBoxLayout;
class QSpinBox;
class ZLabel;

// The number field of a number picker: a label and a value between two bounds, changed with
// Up and Down or typed in digits.
class ZNumModule : public QWidget
{
    Q_OBJECT

public:
    explicit ZNumModule(QWidget *parent = nullptr);

    void setMinValue(int value);
    void setMaxValue(int value);
    void setValue(int value);
    int value() const;
    // The label is shown before the value; the module takes it over.
    void setLabel(ZLabel *label);

private:
    QHBoxLayout *m_layout;
    QSpinBox *m_spinBox;
    ZLabel *m_label = nullptr;
};
