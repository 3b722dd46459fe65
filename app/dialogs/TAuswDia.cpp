#include "app/dialogs/TAuswDia.h"

#include <QApplication>
#include <QComboBox>
#include <QVBoxLayout>

#include <string>

#include "app/query_dialogs.h"
#include "tools/dialog_support.h"

TAuswDia::TAuswDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("AuswDia");
    setWindowTitle("Choose spectrum");
    auto* lay = new QVBoxLayout(this);
    SpekBox = NewCombo(this, "SpekBox");
    SpekBox->setMinimumWidth(300);
    lay->addWidget(SpekBox);
    AddButtonRow(lay);
}

void TAuswDia::FormActivate() {
    chosen_ = -1;
    FillSpectrumCombo(SpekBox, 0);
}

bool TAuswDia::FormCloseOk() {
    const int i = SpekBox->currentIndex();
    chosen_ = ValidSpectrumIndex(SpectraList, i) ? i : -1;
    return true;
}

int TAuswDia::Choose(QWidget* parent, const QString& caption) {
    TAuswDia dia(parent);
    dia.setWindowTitle(caption);
    if (RunModal(dia) != QDialog::Accepted) return -1;
    return dia.Chosen();
}

namespace {

// The spectrum choice that formats/ asks for through the ui (the save of one spectrum): the chosen
// list index in "SpekBox".
bool runAuswDia(ui::Query& q) {
    const int chosen = TAuswDia::Choose(QApplication::activeWindow(), QString::fromStdString(q.caption));
    q.fields["SpekBox"] = std::to_string(chosen);
    return chosen >= 0;
}

const QueryDialogRegistrar registrar("TAuswDia", runAuswDia);

}  // namespace
