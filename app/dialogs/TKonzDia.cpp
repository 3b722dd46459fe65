#include "app/dialogs/TKonzDia.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/TLegWechs.h"
#include "app/dialogs/help_ok_cancel_row.h"
#include "app/dialogs/tool_dialog.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "app/replot.h"
#include "core/helpers.h"
#include "core/spectra_list.h"
#include "platform/errors.h"
#include "tools/dialog_support.h"
#include "tools/legend_texts.h"
#include "tools/spectrum_properties.h"

namespace {

// The legend combo: opening its list first writes the edited text into the current item.
class HeaderCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;
    void showPopup() override {
        if (beforePopup) beforePopup();
        QComboBox::showPopup();
    }
};

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

}  // namespace

TKonzDia::TKonzDia(TSpectraList& list, TXYPlot* plot, QWidget* parent)
    : QDialog(parent), list_(list), plot_(plot) {
    setObjectName("KonzDia");
    setWindowTitle("sample concentration, spectra properties & display");
    auto* outer = new QVBoxLayout(this);

    auto* nav = new QHBoxLayout;
    auto* back = button(this, "Bzu", "<= Back");
    auto* header = new HeaderCombo(this);
    header->beforePopup = [this] {
        if (current_ < ComboHeader->count()) ComboHeader->setItemText(current_, legendText_);
    };
    ComboHeader = header;
    ComboHeader->setObjectName("ComboHeader");
    ComboHeader->setEditable(true);
    ComboHeader->setInsertPolicy(QComboBox::NoInsert);
    ComboHeader->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* fwd = button(this, "BVor", "Forward =>");
    nav->addWidget(back);
    nav->addWidget(ComboHeader, 1);
    nav->addWidget(fwd);
    outer->addLayout(nav);

    auto* cols = new QHBoxLayout;
    auto* sample = new QGroupBox("Sample", this);
    auto* sf = new QFormLayout(sample);
    Ekonz = AddEditRow(sample, sf, "Ekonz", "Concentration [mol/l]");
    Eschicht = AddEditRow(sample, sf, "Eschicht", "Absorption Path Length [cm]");
    ETemp = AddEditRow(sample, sf, "ETemp", "Temperature [K]");
    EWell = AddEditRow(sample, sf, "EWell", "Excitation Wavelength [nm]");
    cols->addWidget(sample);

    auto* look = new QGroupBox("Display", this);
    auto* lf = new QFormLayout(look);
    Linientyp = new QComboBox(look);
    Linientyp->setObjectName("Linientyp");
    Linientyp->addItems({"solid", "dashed", "dotted"});
    lf->addRow("Line Type", Linientyp);
    ComboBox1 = new QComboBox(look);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->addItems({"normal", "+1", "+2", "+3", "+4", "+5", "+6"});
    lf->addRow("Line Width", ComboBox1);
    auto* colorRow = new QHBoxLayout;
    FarbFeld = new QLabel(look);
    FarbFeld->setObjectName("FarbFeld");
    FarbFeld->setFixedSize(40, 20);
    FarbFeld->setAutoFillBackground(true);
    auto* bFarbe = button(look, "BFarbe", "Change Color...");
    colorRow->addWidget(FarbFeld);
    colorRow->addWidget(bFarbe);
    lf->addRow(colorRow);
    auto* reset = button(look, "Linienarten_Reset", "=> Default Lines");
    lf->addRow(reset);
    cols->addWidget(look);
    outer->addLayout(cols);

    auto* calc = new QGroupBox("Calculate Concentration", this);
    auto* cf = new QFormLayout(calc);
    EMW = AddEditRow(calc, cf, "EMW", "Molecular Weight");
    EEinwaage = AddEditRow(calc, cf, "EEinwaage", "Sample Weight [mg]");
    EVolumen = AddEditRow(calc, cf, "EVolumen", "Solvent Volume [ml]");
    auto* brech = button(calc, "Brech", "Calculate");
    cf->addRow(brech);
    outer->addWidget(calc);

    auto* legendRow = new QHBoxLayout;
    auto* byName = button(this, "Button3", "Replace by filename");
    auto* legends = button(this, "Button2", "Edit legend texts...");
    legendRow->addWidget(byName);
    legendRow->addWidget(legends);
    legendRow->addStretch(1);
    outer->addLayout(legendRow);

    const HelpOkCancelButtons buttons = AddHelpOkCancelRow(this, outer);

    connect(fwd, &QPushButton::clicked, this, &TKonzDia::BVorClick);
    connect(back, &QPushButton::clicked, this, &TKonzDia::BzuClick);
    connect(ComboHeader, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!filling_) ComboHeaderOnChange(i);
    });
    connect(ComboHeader->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& t) { legendText_ = t; });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!filling_) ComboBoxChange(i);
    });
    connect(Linientyp, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!filling_) LinientypChange(i);
    });
    connect(bFarbe, &QPushButton::clicked, this, &TKonzDia::BFarbeClick);
    connect(brech, &QPushButton::clicked, this, &TKonzDia::BrechClick);
    connect(reset, &QPushButton::clicked, this, &TKonzDia::Linienarten_ResetClick);
    connect(byName, &QPushButton::clicked, this, &TKonzDia::Button3Click);
    connect(legends, &QPushButton::clicked, this, &TKonzDia::Button2Click);
    connect(buttons.ok, &QPushButton::clicked, this, &TKonzDia::OKBtnClick);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(buttons.help, &QPushButton::clicked, this, &TKonzDia::HelpBtnClick);

    // FormCreate
    EMW->setText("0");
    EEinwaage->setText("0");
    EVolumen->setText("0");
}

void TKonzDia::FormActivate() {
    current_ = 0;
    previous_ = 0;
    filling_ = true;
    ComboHeader->clear();
    for (const auto& rec : list_) ComboHeader->addItem(Q(rec->Title.str()));
    ComboHeader->setCurrentIndex(0);
    filling_ = false;
    if (list_.Empty()) return;
    fillFromCurrent();
    ComboHeader->setFocus();
}

void TKonzDia::fillFromCurrent() {
    TSpectrumRecord* rec = list_.Get(current_);
    if (!rec) return;
    filling_ = true;
    const auto t = properties::TextsOfRecord(*rec);
    Ekonz->setText(Q(t.concentration));
    Eschicht->setText(Q(t.pathLength));
    ETemp->setText(Q(t.temperature));
    EWell->setText(Q(t.excitation));
    ComboHeader->setCurrentIndex(current_);
    legendText_ = ComboHeader->itemText(current_);
    ComboHeader->setEditText(legendText_);
    setWindowTitle("spectrum " + Q(rec->FileName.str()));
    setSwatch(rec->Color);
    Linientyp->setCurrentIndex(properties::LineTypeItem(*rec));
    ComboBox1->setCurrentIndex(properties::LineWidthItem(*rec));
    lineTypeEdited_ = false;
    filling_ = false;
}

void TKonzDia::setSwatch(uint32_t c) {
    QPalette pal = FarbFeld->palette();
    pal.setColor(QPalette::Window, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    FarbFeld->setPalette(pal);
}

bool TKonzDia::storeCurrent() {
    TSpectrumRecord* rec = list_.Get(current_);
    if (!rec) return true;
    properties::PropertyTexts t;
    t.concentration = S(Ekonz->text());
    t.pathLength = S(Eschicht->text());
    t.temperature = S(ETemp->text());
    t.excitation = S(EWell->text());
    t.legend = S(legendText_);
    try {
        properties::StoreTexts(*rec, t);
    } catch (const vx::Error& e) {
        ShowErrorBox(e.what());
        return false;
    }
    if (current_ < ComboHeader->count()) ComboHeader->setItemText(current_, Q(rec->Title.str()));
    if (lineTypeEdited_) rec->LineStyle = static_cast<uint8_t>(Linientyp->currentIndex());
    return true;
}

void TKonzDia::highlightCurrent() {
    const TSpectrumRecord* rec = list_.Get(current_);
    if (!plot_ || !rec || current_ + 1 > plot_->KurvenAnzahl()) return;
    plot_->SetCurveWidth(current_ + 1, rec->LineWidth + plot_->BaseLineWidth);
}

void TKonzDia::moveTo(int index) {
    if (plot_ && current_ + 1 <= plot_->KurvenAnzahl()) plot_->SetCurveWidth(current_ + 1, -1);
    previous_ = current_;
    current_ = index;
    fillFromCurrent();
    highlightCurrent();
}

void TKonzDia::BVorClick() {
    if (current_ >= list_.Count() - 1) return;
    if (!storeCurrent()) return;
    moveTo(current_ + 1);
}

void TKonzDia::BzuClick() {
    if (current_ <= 0) return;
    if (!storeCurrent()) return;
    moveTo(current_ - 1);
}

void TKonzDia::ComboHeaderOnChange(int index) {
    if (index < 0 || index >= list_.Count() || index == current_) return;
    if (!storeCurrent()) {
        const QSignalBlocker block(ComboHeader);
        ComboHeader->setCurrentIndex(current_);
        ComboHeader->setEditText(legendText_);
        return;
    }
    moveTo(index);
}

void TKonzDia::ComboBoxChange(int item) {
    if (TSpectrumRecord* rec = list_.Get(current_)) rec->LineWidth = item + 1;
}

void TKonzDia::LinientypChange(int) { lineTypeEdited_ = true; }

void TKonzDia::BFarbeClick() {
    TSpectrumRecord* rec = list_.Get(current_);
    if (!rec) return;
    const std::optional<uint32_t> chosen = ChooseColor(this, rec->Color);
    if (!chosen) return;
    rec->Color = *chosen;
    setSwatch(*chosen);
}

void TKonzDia::BrechClick() {
    try {
        auto c = properties::ConcentrationFromTexts(S(EMW->text()), S(EEinwaage->text()), S(EVolumen->text()));
        if (c) Ekonz->setText(Q(properties::ConcentrationText(*c)));
    } catch (const vx::Error& e) {
        ShowErrorBox(e.what());
    }
}

void TKonzDia::Linienarten_ResetClick() {
    filling_ = true;
    Linientyp->setCurrentIndex(0);
    filling_ = false;
    lineTypeEdited_ = false;
    properties::ResetDefaultLines(list_);
    if (plot_) {
        ApplyAllCurveLooks(*plot_, list_);
        plot_->update();
    }
    if (const TSpectrumRecord* rec = list_.Get(current_)) {
        setSwatch(rec->Color);
        const QSignalBlocker block(ComboBox1);
        ComboBox1->setCurrentIndex(properties::LineWidthItem(*rec));
    }
}

void TKonzDia::Button3Click() {
    const TSpectrumRecord* rec = list_.Get(current_);
    if (!rec) return;
    legendText_ = Q(NameWithoutFolder(rec->FileName.str()));
    ComboHeader->setEditText(legendText_);
}

void TKonzDia::Button2Click() {
    if (current_ < ComboHeader->count()) ComboHeader->setItemText(current_, legendText_);
    std::vector<std::string> legends, files;
    for (int i = 0; i < ComboHeader->count(); ++i) legends.push_back(S(ComboHeader->itemText(i)));
    for (const auto& rec : list_) files.push_back(rec->FileName.str());
    TLegWechs dia(legends, files, this);
    if (RunModal(dia) == QDialog::Accepted && dia.Result()) {
        const auto& lines = *dia.Result();
        for (int i = 0; i < static_cast<int>(lines.size()) && i < list_.Count(); ++i) {
            list_[i].Title = lines[i];
            if (i < ComboHeader->count()) ComboHeader->setItemText(i, Q(list_[i].Title.str()));
        }
    }
    // Reselect the current item.
    legendText_ = ComboHeader->itemText(current_);
    const QSignalBlocker block(ComboHeader);
    ComboHeader->setCurrentIndex(current_);
    ComboHeader->setEditText(legendText_);
}

void TKonzDia::OKBtnClick() {
    if (!storeCurrent()) return;  // the dialog stays open
    accept();
}

void TKonzDia::HelpBtnClick() {
    OpenDialogHelp(ProgramSettings.ProgramFolder, "html\\varolux_man_spek_en.html#allg");
}
