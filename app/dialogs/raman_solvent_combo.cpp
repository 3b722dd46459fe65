#include "app/dialogs/raman_solvent_combo.h"

#include <QAbstractButton>
#include <QComboBox>

#include "app/dialogs/tool_dialog.h"
#include "app/program_state.h"
#include "platform/data_folder.h"
#include "platform/ui.h"

TRamanBandTable FillRamanSolventCombo(QComboBox* box, const std::string& solvent,
                                      std::initializer_list<QWidget*> alsoDisable) {
    TRamanBandTable table = LoadRamanBands(FileBesideProgram(ProgramSettings.ProgramFolder, kRamanBandsFileName));
    box->clear();
    for (const TRamanBand& b : table.Bands) box->addItem(Q(b.Name));
    const bool usable = table.Found && !table.Bands.empty();
    box->setEnabled(usable);
    for (QWidget* w : alsoDisable) {
        if (auto* b = qobject_cast<QAbstractButton*>(w); b && !usable) b->setChecked(false);
        w->setEnabled(usable);
    }
    if (!usable) {
        ui::messageBox(kRamanBandsMissingText);
        return table;
    }
    const int32_t i = RamanBandIndex(table, solvent);
    box->setCurrentIndex(i >= 0 ? i : 0);
    return table;
}
