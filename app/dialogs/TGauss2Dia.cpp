#include "app/dialogs/TGauss2Dia.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/errors.h"
#include "platform/numtext.h"
#include "tools/dialog_support.h"
#include "tools/gauss_model.h"

using numtext::FloatFormat;
using numtext::FloatToStrF;

namespace {

QString general(double v, int digits) { return Q(FloatToStrF(v, FloatFormat::General, digits, 0)); }

// The field "FWHM" shows the full width at half maximum of the block's width.
QString fwhmText(double width) { return general(GaussFwhmOfWidth(width), 5); }

QString nameOf(const char* pattern, int group) { return QString(pattern).arg(group + 1); }

}  // namespace

TGauss2Dia::TGauss2Dia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("Gauss2Dia");
    setWindowTitle("Gauss type groups of curves");
    auto* lay = new QVBoxLayout(this);
    TabbedNotebook1 = new QTabWidget(this);
    TabbedNotebook1->setObjectName("TabbedNotebook1");
    lay->addWidget(TabbedNotebook1);

    auto* gen = new QWidget;
    auto* genLay = new QVBoxLayout(gen);
    auto* range = new QGroupBox("fit range", gen);
    auto* rangeLay = new QHBoxLayout(range);
    Kvon = NewEdit(range, "Kvon", "");
    Kbis = NewEdit(range, "Kbis", "");
    rangeLay->addWidget(new QLabel("from", range));
    rangeLay->addWidget(Kvon);
    rangeLay->addWidget(new QLabel("1/cm    to", range));
    rangeLay->addWidget(Kbis);
    rangeLay->addWidget(new QLabel("1/cm", range));
    genLay->addWidget(range);
    auto* countRow = new QHBoxLayout;
    KAnz = NewEdit(gen, "KAnz", "");
    KAnz->setMaximumWidth(60);
    countRow->addWidget(new QLabel("number of groups of curves", gen));
    countRow->addWidget(KAnz);
    countRow->addStretch(1);
    genLay->addLayout(countRow);
    Kiterate = NewCheck(gen, "Kiterate", "Iterate", false);
    KNurAmp = NewCheck(gen, "KNurAmp", "only amplitude fitting", false);
    genLay->addWidget(Kiterate);
    genLay->addWidget(KNurAmp);
    genLay->addStretch(1);
    TabbedNotebook1->addTab(gen, "Gen.");

    for (int g = 0; g < kGaussDialogGroups; ++g) {
        auto* page = new QWidget;
        auto* grid = new QGridLayout(page);
        auto row = [&](int r, const char* label, const char* name, const char* unit) {
            QLineEdit* e = NewEdit(page, nameOf(name, g).toUtf8().constData(), "");
            grid->addWidget(new QLabel(label, page), r, 0);
            grid->addWidget(e, r, 1);
            if (unit) grid->addWidget(new QLabel(unit, page), r, 2);
            return e;
        };
        KnAnz[g] = row(0, "Quantity", "K%1Anz", nullptr);
        KnPos[g] = row(1, "Position v=0", "K%1Pos", "1/cm");
        KnHalb[g] = row(2, "FWHM", "K%1Halb", "1/cm");
        KnVib[g] = row(3, "Vibration", "K%1Vib", "1/cm");
        auto* amps = new QGroupBox("Amplitudes", page);
        auto* ampGrid = new QGridLayout(amps);
        for (int k = 0; k < 6; ++k) {
            KnA[g][k] = NewEdit(amps, QString("K%1A%2").arg(g + 1).arg(k + 1).toUtf8().constData(), "");
            ampGrid->addWidget(new QLabel(QString("%1:").arg(k + 1), amps), k % 3, 2 * (k / 3));
            ampGrid->addWidget(KnA[g][k], k % 3, 2 * (k / 3) + 1);
        }
        grid->addWidget(amps, 0, 3, 4, 1);
        KnAktiv[g] = NewCheck(page, nameOf("K%1Aktiv", g).toUtf8().constData(), "activated", true);
        LinkAmp[g] = NewCheck(page, nameOf("LinkAmp%1", g).toUtf8().constData(), "connect amplitudes", false);
        grid->addWidget(KnAktiv[g], 4, 0, 1, 2);
        grid->addWidget(LinkAmp[g], 4, 3);
        grid->setRowStretch(5, 1);
        TabbedNotebook1->addTab(page, QString("curve %1").arg(g + 1));
    }
    AddButtonRow(lay);
    SetDefaultParams();
    Params = GaussModelParams;
}

void TGauss2Dia::SetDefaultParams() { GaussModelParams = GaussDefaultParams(); }

void TGauss2Dia::WriteParams() {
    Kvon->setText(general(Params.RangeFrom, 7));
    Kbis->setText(general(Params.RangeTo, 7));
    KAnz->setText(Q(numtext::IntToStr(Params.GroupCount)));
    for (int g = 0; g < kGaussDialogGroups; ++g) {
        const TGaussGroup& gr = Params.Groups[static_cast<std::size_t>(g)];
        KnAnz[g]->setText(Q(numtext::IntToStr(gr.BandCount)));
        KnPos[g]->setText(general(gr.Position, 7));
        KnHalb[g]->setText(fwhmText(gr.Width));
        KnVib[g]->setText(general(gr.Spacing, 6));
        for (int k = 0; k < 6; ++k) KnA[g][k]->setText(general(gr.Amplitudes[static_cast<std::size_t>(k)], 6));
    }
}

void TGauss2Dia::ReadParams() {
    // Into a copy: amplitudes 7 to 11 and groups 6 to 10 keep their values, and a refused input
    // leaves the block as it was.
    TGaussModelParams p = Params;
    p.RangeFrom = EditFloat(Kvon);
    p.RangeTo = EditFloat(Kbis);
    p.GroupCount = DialogInt(S(KAnz->text()));
    for (int g = 0; g < kGaussDialogGroups; ++g) {
        TGaussGroup& gr = p.Groups[static_cast<std::size_t>(g)];
        gr.BandCount = DialogInt(S(KnAnz[g]->text()));
        gr.Position = EditFloat(KnPos[g]);
        // The block keeps its exact width while the field shows what was written into it.
        if (KnHalb[g]->text() != fwhmText(gr.Width)) gr.Width = GaussWidthOfFwhm(EditFloat(KnHalb[g]));
        gr.Spacing = EditFloat(KnVib[g]);
        for (int k = 0; k < 6; ++k) gr.Amplitudes[static_cast<std::size_t>(k)] = EditFloat(KnA[g][k]);
    }
    if (std::string problem = GaussDialogParamsProblem(p); !problem.empty()) throw vx::Error(problem);
    Params = p;
}

TGaussFitSwitches TGauss2Dia::FitSwitches() const {
    TGaussFitSwitches s;
    s.Connect = ConnectSwitches;
    for (int g = 0; g < kGaussDialogGroups; ++g) s.Active[static_cast<std::size_t>(g)] = KnAktiv[g]->isChecked();
    s.OnlyAmplitudes = KNurAmp->isChecked();
    return s;
}

void TGauss2Dia::FormActivate() {
    Kiterate->setChecked(false);
    WriteParams();
}

bool TGauss2Dia::FormCloseOk() {
    ReadParams();
    for (int g = 0; g < kGaussDialogGroups; ++g) ConnectSwitches[static_cast<std::size_t>(g)] = LinkAmp[g]->isChecked();
    return true;
}
