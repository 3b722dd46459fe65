#include "app/dialogs/TAdvSmoothDia.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/program_state.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "tools/adv_smoothing.h"

namespace {
QSpinBox* NewSpin(QWidget* parent, const char* name, int lo, int hi, int step = 1) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(lo, hi);
    s->setSingleStep(step);
    return s;
}
}  // namespace

TAdvSmoothDia::TAdvSmoothDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("AdvSmoothDia");
    setWindowTitle("Smoothing options");
    auto* lay = new QVBoxLayout(this);
    SpekBox = AddSpectrumRow(this, lay, "SpekBox");

    RBmovingaverage = new QRadioButton("moving average", this);
    RBmovingaverage->setObjectName("RBmovingaverage");
    RBsavitsky = new QRadioButton("Savitzky-Golay", this);
    RBsavitsky->setObjectName("RBsavitsky");
    RBpercentile = new QRadioButton("percentile", this);
    RBpercentile->setObjectName("RBpercentile");
    auto* methods = new QButtonGroup(this);
    methods->addButton(RBmovingaverage, 0);
    methods->addButton(RBsavitsky, 1);
    methods->addButton(RBpercentile, 2);

    Emovavesize = NewSpin(this, "Emovavesize", kMovingAverageSizeMin, kMovingAverageSizeMax);
    Cmovaveshape = NewCombo(this, "Cmovaveshape");
    Cmovaveshape->addItems({"rectangular", "triangular"});
    Esavitskysize = NewSpin(this, "Esavitskysize", kSavitzkySizeMin, kSavitzkySizeMax);
    Esavitskyorder = NewSpin(this, "Esavitskyorder", kSavitzkyOrderMin, kSavitzkyOrderMax);
    Epercentilesize = NewSpin(this, "Epercentilesize", kPercentileSizeMin, kPercentileSizeMax);
    Epercentile = NewSpin(this, "Epercentile", 0, 100, 5);

    auto* grid = new QGridLayout;
    grid->addWidget(RBmovingaverage, 0, 0);
    grid->addWidget(new QLabel("size", this), 0, 1);
    grid->addWidget(Emovavesize, 0, 2);
    grid->addWidget(new QLabel("shape", this), 0, 3);
    grid->addWidget(Cmovaveshape, 0, 4);
    grid->addWidget(RBsavitsky, 1, 0);
    grid->addWidget(new QLabel("size", this), 1, 1);
    grid->addWidget(Esavitskysize, 1, 2);
    grid->addWidget(new QLabel("order", this), 1, 3);
    grid->addWidget(Esavitskyorder, 1, 4);
    grid->addWidget(RBpercentile, 2, 0);
    grid->addWidget(new QLabel("size", this), 2, 1);
    grid->addWidget(Epercentilesize, 2, 2);
    grid->addWidget(new QLabel("percentile", this), 2, 3);
    grid->addWidget(Epercentile, 2, 4);
    lay->addLayout(grid);

    OrgLoeschen = NewCheck(this, "OrgLoeschen", "remove original(s)", false);
    AlleSpektren = NewCheck(this, "AlleSpektren", "all spectra", false);
    lay->addWidget(OrgLoeschen);
    lay->addWidget(AlleSpektren);
    AddButtonRow(lay, "html\\varolux_man_spek_en.html#adv_basel");

    // Touching a method's size, shape, order or percentile chooses that method.
    for (QWidget* w : std::initializer_list<QWidget*>{Emovavesize, Cmovaveshape, Esavitskysize, Esavitskyorder,
                                                      Epercentilesize, Epercentile})
        w->installEventFilter(this);
    for (QSpinBox* s : {Emovavesize, Esavitskysize, Esavitskyorder, Epercentilesize, Epercentile})
        connect(s, &QSpinBox::valueChanged, this, [this, s] {
            if (!filling_) MethodOf(s)->setChecked(true);
        });
    connect(Cmovaveshape, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) RBmovingaverage->setChecked(true);
    });
    connect(AlleSpektren, &QCheckBox::clicked, this, &TAdvSmoothDia::AlleSpektrenClick);
}

QRadioButton* TAdvSmoothDia::MethodOf(QObject* w) const {
    if (w == Emovavesize || w == Cmovaveshape) return RBmovingaverage;
    if (w == Esavitskysize || w == Esavitskyorder) return RBsavitsky;
    return RBpercentile;
}

bool TAdvSmoothDia::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress)
        if (watched != this) MethodOf(watched)->setChecked(true);
    return TToolDialog::eventFilter(watched, event);
}

void TAdvSmoothDia::AlleSpektrenClick() { SetGreyed(SpekBox, AlleSpektren->isChecked()); }

void TAdvSmoothDia::FormActivate() {
    filling_ = true;
    const TAdvSmoothSettings s = ClampedAdvSmoothSettings(ProgramSettings.AdvSmoothSettings);
    FillSpectrumCombo(SpekBox, 0);
    OrgLoeschen->setChecked(s.RemoveOriginal);
    AlleSpektren->setChecked(s.AllSpectra);
    Emovavesize->setValue(s.MovingAverageSize);
    Cmovaveshape->setCurrentIndex(s.MovingAverageShape);
    Esavitskysize->setValue(s.SavitzkySize);
    Esavitskyorder->setValue(s.SavitzkyOrder);
    Epercentilesize->setValue(s.PercentileSize);
    Epercentile->setValue(s.Percentile);
    (s.Mode == 0 ? RBmovingaverage : s.Mode == 1 ? RBsavitsky : RBpercentile)->setChecked(true);
    AlleSpektrenClick();
    filling_ = false;
}

bool TAdvSmoothDia::FormCloseOk() {
    TAdvSmoothParams p;
    TAdvSmoothSettings& s = p.Settings;
    s.RemoveOriginal = OrgLoeschen->isChecked();
    s.AllSpectra = AlleSpektren->isChecked();
    s.Mode = RBmovingaverage->isChecked() ? 0 : RBsavitsky->isChecked() ? 1 : 2;
    s.MovingAverageSize = Emovavesize->value();
    s.MovingAverageShape = Cmovaveshape->currentIndex();
    s.SavitzkySize = Esavitskysize->value();
    s.SavitzkyOrder = Esavitskyorder->value();
    s.PercentileSize = Epercentilesize->value();
    s.Percentile = Epercentile->value();
    p.Spectrum = SpekBox->currentIndex();
    ProgramSettings.AdvSmoothSettings = s;
    RunAdvSmoothing(SpectraList, CurrentDisplayState(), p);
    return true;
}
