#include "app/dialogs/TPeakDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/helpers.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/ui.h"
#include "tools/peak_table.h"

TPeakDia::TPeakDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("PeakDia");
    setWindowTitle("Peaks");
    auto* lay = new QVBoxLayout(this);
    Spekbox = NewCombo(this, "Spekbox");
    InvertedPeaks =
        NewCheck(this, "InvertedPeaks", "inverted (find minima, or transmittance maxima)", false);
    LowerPeakThresholdEdit = new QSpinBox(this);
    LowerPeakThresholdEdit->setObjectName("LowerPeakThresholdEdit");
    LowerPeakThresholdEdit->setRange(1, 95);
    LowerPeakThresholdEdit->setValue(5);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Button3 = NewButton(this, "Button3", "Copy Peak Data");
    auto* form = new QFormLayout;
    form->addRow("Spectrum: ", Spekbox);
    auto* thr = new QHBoxLayout;
    thr->addWidget(LowerPeakThresholdEdit);
    thr->addWidget(new QLabel("% of visible spectrum ordinate", this));
    form->addRow("peak finding threshold:", thr);
    lay->addLayout(form);
    lay->addWidget(InvertedPeaks);
    lay->addWidget(Memo1, 1);
    lay->addWidget(Button3);
    AddButtonRow(lay, "html\\varolux_man_spek_en.html#peak");
    connect(Spekbox, &QComboBox::currentIndexChanged, this, &TPeakDia::MemoSchreiben);
    connect(InvertedPeaks, &QCheckBox::clicked, this, &TPeakDia::MemoSchreiben);
    connect(LowerPeakThresholdEdit, &QSpinBox::valueChanged, this, &TPeakDia::MemoSchreiben);
    connect(Button3, &QPushButton::clicked, this, &TPeakDia::Button3Click);
    resize(520, 440);
}

void TPeakDia::SetVisibleRange(double lo, double hi) {
    SortPairAscending(lo, hi);
    lo_ = lo;
    hi_ = hi;
}

void TPeakDia::FormActivate() {
    filling_ = true;
    FillSpectrumCombo(Spekbox, 0);
    Memo1->clear();
    LowerPeakThresholdEdit->setValue(5);
    filling_ = false;
    BuildPeakTable();
}

void TPeakDia::MemoSchreiben() {
    if (!filling_) BuildPeakTable();
}

void TPeakDia::BuildPeakTable() {
    lines_.clear();
    if (TSpectrumRecord* rec = SpectraList.Get(Spekbox->currentIndex()))
        lines_ = ::BuildPeakTable(CurrentDisplayState(), *rec, InvertedPeaks->isChecked(), LowerPeakThresholdEdit->value(),
                                  lo_, hi_);
    QStringList text;
    for (const auto& l : lines_) text << Q(l);
    Memo1->setPlainText(text.join('\n'));
    Memo1->moveCursor(QTextCursor::Start);
}

void TPeakDia::Button3Click() {
    const QString kept = Memo1->toPlainText();
    const std::string clip = PeakTableClipboardText(lines_);
    Memo1->setPlainText(Q(clip));
    Memo1->selectAll();
    DelayWithMessages(200);
    ui::setClipboardText(clip);
    Memo1->setPlainText(kept);
    Memo1->moveCursor(QTextCursor::Start);
}
