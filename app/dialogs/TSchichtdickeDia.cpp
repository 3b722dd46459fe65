#include "app/dialogs/TSchichtdickeDia.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cmath>
#include <exception>

#include "app/program_state.h"
#include "core/helpers.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tools/film_thickness.h"

TSchichtdickeDia::TSchichtdickeDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("SchichtdickeDia");
    setWindowTitle("Calculate Film Thickness");
    auto* lay = new QVBoxLayout(this);
    Spekbox = NewCombo(this, "Spekbox");
    EBrechindex = NewEdit(this, "EBrechindex", "1.4914");
    EWinkel = NewEdit(this, "EWinkel", "0");
    EAnf = NewEdit(this, "EAnf", "");
    EEnde = NewEdit(this, "EEnde", "");
    Label7 = NewLabel(this, "Label7");
    Label8 = NewLabel(this, "Label8");
    auto* form = new QFormLayout;
    form->addRow("Spectrum:", Spekbox);
    form->addRow("refractive index:", EBrechindex);
    auto* angle = new QHBoxLayout;
    angle->addWidget(EWinkel);
    angle->addWidget(new QLabel("°", this));
    form->addRow("incidence angle:", angle);
    auto* start = new QHBoxLayout;
    start->addWidget(EAnf);
    start->addWidget(Label7);
    form->addRow("range start:", start);
    auto* stop = new QHBoxLayout;
    stop->addWidget(EEnde);
    stop->addWidget(Label8);
    form->addRow("range stop:", stop);
    lay->addLayout(form);
    auto* buttons = new QHBoxLayout;
    Button3 = NewButton(this, "Button3", "Calculate!");
    Button4 = NewButton(this, "Button4", "set current range!");
    Button2 = NewButton(this, "Button2", "Copy Results");
    buttons->addWidget(Button3);
    buttons->addWidget(Button4);
    buttons->addWidget(Button2);
    lay->addLayout(buttons);
    lay->addWidget(new QLabel("Results:", this));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setMinimumSize(420, 200);
    lay->addWidget(Memo1, 1);
    AddButtonRow(lay, "html\\varolux_man_rech_en.html#dicke");
    connect(Spekbox, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) MemoSchreiben();
    });
    connect(Button3, &QPushButton::clicked, this, &TSchichtdickeDia::MemoSchreiben);
    connect(Button4, &QPushButton::clicked, this, &TSchichtdickeDia::Button4Click);
    connect(Button2, &QPushButton::clicked, this, &TSchichtdickeDia::Button2Click);
}

void TSchichtdickeDia::FormActivate() {
    const TFilmThicknessSettings& s = ProgramSettings.FilmThicknessSettings;
    filling_ = true;
    FillSpectrumCombo(Spekbox, 0);
    filling_ = false;
    EBrechindex->setText(Q(numtext::FloatToStr(s.RefractiveIndex)));
    EWinkel->setText(Q(numtext::FloatToStr(s.IncidenceAngle)));
    Button4Click();
    // A stored range holds in the unit it was stored in.
    if (s.LastDisplayUnit == DisplayXUnit) {
        if (s.RangeStart != -1) EAnf->setText(Q(numtext::IntToStr(s.RangeStart)));
        if (s.RangeEnd != -1) EEnde->setText(Q(numtext::IntToStr(s.RangeEnd)));
    }
    const QString unit = Q(FilmUnitLabel(DisplayXUnit));
    Label7->setText(unit);
    Label8->setText(unit);
    Memo1->clear();
}

void TSchichtdickeDia::MemoSchreiben() {
    TFilmThicknessInputs in{S(EBrechindex->text()), S(EWinkel->text()), S(EAnf->text()), S(EEnde->text()),
                            Spekbox->currentIndex()};
    Memo1->clear();
    try {
        const TFilmThicknessResult r = EvaluateFilmThickness(SpectraList, CurrentDisplayState(), in);
        EBrechindex->setText(Q(in.IndexText));
        EWinkel->setText(Q(in.AngleText));
        QStringList lines;
        for (const std::string& l : r.Memo) lines << Q(l);
        Memo1->setPlainText(lines.join("\n"));
        if (!r.Clipboard.empty()) ui::setClipboardText(r.Clipboard);
    } catch (const std::exception& e) {
        EBrechindex->setText(Q(in.IndexText));
        EWinkel->setText(Q(in.AngleText));
        ui::messageBox(e.what());
    }
    Memo1->verticalScrollBar()->setValue(0);
}

void TSchichtdickeDia::Button4Click() {
    if (!PlotRange) return;
    const auto [lo, hi] = PlotRange();
    EAnf->setText(Q(FilmRangeText(lo)));
    EEnde->setText(Q(FilmRangeText(hi)));
}

void TSchichtdickeDia::Button2Click() {
    Memo1->selectAll();
    DelayWithMessages(300);
    std::string text = S(Memo1->toPlainText());
    std::string crlf;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    ui::setClipboardText(crlf);
    QTextCursor c = Memo1->textCursor();
    c.clearSelection();
    Memo1->setTextCursor(c);
}

void TSchichtdickeDia::done(int result) {
    TFilmThicknessSettings& s = ProgramSettings.FilmThicknessSettings;
    std::string t = S(EBrechindex->text());
    if (auto v = numtext::TryStrToFloat(DotsToDecimalSeparator(t))) s.RefractiveIndex = *v;
    t = S(EWinkel->text());
    if (auto v = numtext::TryStrToFloat(DotsToDecimalSeparator(t))) s.IncidenceAngle = *v;
    auto whole = [](const QLineEdit* e, int32_t& into) {
        const std::string text = DotsToDecimalSeparator(S(e->text()));
        if (auto v = numtext::TryStrToFloat(text); v && std::fabs(*v) < 2e9)
            into = static_cast<int32_t>(std::nearbyint(*v));
    };
    whole(EAnf, s.RangeStart);
    whole(EEnde, s.RangeEnd);
    s.LastDisplayUnit = DisplayXUnit;
    TToolDialog::done(result);
}
