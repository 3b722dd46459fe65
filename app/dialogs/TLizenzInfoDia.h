#pragma once
// "Licence Agreement": a static text.
#include <QDialog>

class TLizenzInfoDia : public QDialog {
    Q_OBJECT
public:
    explicit TLizenzInfoDia(QWidget* parent = nullptr);
};
