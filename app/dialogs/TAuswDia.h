#pragma once
// "Choose spectrum": one spectrum for Play, Display Values and Center of Gravity, and for the save of
// one spectrum (as the query "TAuswDia").
#include "app/dialogs/tool_dialog.h"

class QComboBox;

class TAuswDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TAuswDia(QWidget* parent = nullptr);
    // The chosen list index, or -1 unless closed with OK.
    int Chosen() const { return chosen_; }
    // Shows the dialog modally with the caller's prompt as caption; returns Chosen().
    static int Choose(QWidget* parent, const QString& caption);

protected:
    void FormActivate() override;
    bool FormCloseOk() override;

private:
    QComboBox* SpekBox;
    int chosen_ = -1;
};
