#pragma once
// "Credits": a static text.
#include <QDialog>

class TCreditDia : public QDialog {
    Q_OBJECT
public:
    explicit TCreditDia(QWidget* parent = nullptr);
};
