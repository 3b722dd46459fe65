#include "app/dialogs/TSpikeDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "core/helpers.h"
#include "core/units.h"
#include "platform/ui.h"
#include "tools/spikes.h"

TSpikeDia::TSpikeDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("SpikeDia");
    setWindowTitle("Remove Spikes");
    auto* lay = new QVBoxLayout(this);
    Spekbox = NewCombo(this, "Spekbox");
    OriginalLoeschen = NewCheck(this, "OriginalLoeschen", "Remove Original", true);
    AlleKorrigieren = NewCheck(this, "AlleKorrigieren", "Treat all Spectra", true);
    EntspikenUmgedreht = NewCheck(this, "EntspikenUmgedreht", "Backward Spike Removal", false);
    Legende_ander = NewCheck(this, "Legende_ander", "add \"Spikes removed\" to the legend title", false);
    auto* form = new QFormLayout;
    form->addRow("Spectrum:", Spekbox);
    lay->addLayout(form);
    AddWidgets(lay, {OriginalLoeschen, AlleKorrigieren, EntspikenUmgedreht, Legende_ander});
    AddButtonRow(lay, "html\\varolux_man_spek_en.html#spike");
    connect(AlleKorrigieren, &QCheckBox::clicked, this, &TSpikeDia::AlleKorrigierenClick);
}

void TSpikeDia::AlleKorrigierenClick() {
    const bool all = AlleKorrigieren->isChecked();
    if (all) OriginalLoeschen->setChecked(true);
    SetGreyed(Spekbox, all);
}

void TSpikeDia::FormActivate() {
    FillSpectrumCombo(Spekbox, 0);
    OriginalLoeschen->setChecked(ProgramSettings.SpikeSettings.RemoveOriginal);
    AlleKorrigieren->setChecked(ProgramSettings.SpikeSettings.TreatAll);
    EntspikenUmgedreht->setChecked(ProgramSettings.SpikeSettings.Backward);
    Legende_ander->setChecked(ProgramSettings.SpikeSettings.AppendToTitle);
    AlleKorrigierenClick();
}

bool TSpikeDia::FormCloseOk() {
    AlleKorrigierenClick();
    TSpikeParams p;
    p.RemoveOriginal = OriginalLoeschen->isChecked();
    p.AllSpectra = AlleKorrigieren->isChecked();
    p.Backward = EntspikenUmgedreht->isChecked();
    p.AppendToTitle = Legende_ander->isChecked();
    p.Threshold = ProgramSettings.SpikeSettings.Threshold;
    p.Spectrum = Spekbox->currentIndex();
    ProgramSettings.SpikeSettings.RemoveOriginal = p.RemoveOriginal;
    ProgramSettings.SpikeSettings.TreatAll = p.AllSpectra;
    ProgramSettings.SpikeSettings.Backward = p.Backward;
    ProgramSettings.SpikeSettings.AppendToTitle = p.AppendToTitle;
    if (!p.AllSpectra) {
        RunSpikeRemoval(SpectraList, CurrentDisplayState(), p);
        return true;
    }
    hide();
    TBusyCursor busy;
    // Hidden and cleared on every way out, also when the removal throws.
    struct Restore {
        ~Restore() {
            ui::setProgress(-1, 0);
            ui::setStatus(1, " ");
        }
    } restore;
    ui::setProgress(0, 10000);
    ui::setStatus(1, "removing spikes ");
    RunSpikeRemoval(SpectraList, CurrentDisplayState(), p, [](int32_t i, int32_t n) {
        if (n > 0) ui::setProgress(i * (10000 / n), 10000);
    });
    DelayWithMessages(200);
    return true;
}
