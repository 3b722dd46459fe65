#include "app/dialogs/TSortDia.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/dialogs/radio_group.h"
#include "core/spectra_list.h"
#include "tools/spectra_sort.h"

namespace {
// Disabled criteria are drawn in grey (colour value 8421504), the last chosen group in red.
constexpr const char* kGrey = "#808080";
}  // namespace

TSortDia::TSortDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("SortDia");
    setWindowTitle("Spectra Sorting");
    auto* lay = new QHBoxLayout(this);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBox1->viewport()->installEventFilter(this);
    lay->addWidget(ListBox1, 1);

    auto* side = new QVBoxLayout;
    CheckBox1 = NewCheck(this, "CheckBox1", "Automatic Sort", false);
    side->addWidget(CheckBox1);
    KritBox = new QGroupBox("Criteria", this);
    KritBox->setObjectName("KritBox");
    auto* crit = new QVBoxLayout(KritBox);
    KRichtung = new TRadioGroup(KritBox, "KRichtung", "Direction", {"alphabetical", "inverse alphabetical"}, 0);
    KTemperatur = new TRadioGroup(KritBox, "KTemperatur", "Temperature", {"decreasing", "increasing"}, -1);
    KWellenlaenge = new TRadioGroup(KritBox, "KWellenlaenge", "Wavelength", {"increasing", "decreasing"}, -1);
    for (TRadioGroup* g : {KRichtung, KTemperatur, KWellenlaenge}) {
        crit->addWidget(g);
        connect(g, &TRadioGroup::ItemIndexChanged, this, [this, g] { Highlight(g); });
    }
    Button1 = NewButton(KritBox, "Button1", "Sort!");
    crit->addWidget(Button1);
    side->addWidget(KritBox);
    side->addStretch(1);
    // The help button takes another name here: "Button1" is the sort button of this form.
    AddButtonRow(side, "html\\varolux_man_spek_en.html#sort");
    for (QPushButton* b : findChildren<QPushButton*>("Button1"))
        if (b != Button1) b->setObjectName("HelpBtn");
    lay->addLayout(side);

    connect(CheckBox1, &QCheckBox::clicked, this, &TSortDia::CheckBox1Click);
    connect(Button1, &QPushButton::clicked, this, &TSortDia::Button1Click);
    resize(560, 400);
}

void TSortDia::FormActivate() {
    setCursor(Qt::ArrowCursor);
    entries_ = SortEntriesOf(SpectraList);
    FillListBox();
    CheckBox1->setChecked(false);
    SetCriteriaEnabled(false);
}

void TSortDia::FillListBox(const std::vector<int32_t>& selected) {
    ListBox1->clear();
    for (int32_t e : entries_) {
        ListBox1->addItem(Q(SortEntryText(SpectraList, e)));
        if (std::find(selected.begin(), selected.end(), e) != selected.end())
            ListBox1->item(ListBox1->count() - 1)->setSelected(true);
    }
}

void TSortDia::SetCriteriaEnabled(bool on) {
    KritBox->setEnabled(on);
    const QString grey = QString("color: %1;").arg(kGrey);
    KritBox->setStyleSheet(on ? QString() : QString("QGroupBox::title, QRadioButton { %1 }").arg(grey));
    Button1->setStyleSheet(on ? QString() : grey);
    for (TRadioGroup* g : {KRichtung, KTemperatur, KWellenlaenge}) g->setStyleSheet(QString());
}

void TSortDia::Highlight(TRadioGroup* group) {
    if (!KritBox->isEnabled()) return;
    group->setStyleSheet("QGroupBox::title { color: red; }");
}

void TSortDia::CheckBox1Click() {
    const bool on = CheckBox1->isChecked();
    SetCriteriaEnabled(on);
    if (!on) return;
    KTemperatur->SetItemIndex(-1);
    KWellenlaenge->SetItemIndex(-1);
    Highlight(KRichtung);
}

void TSortDia::Button1Click() {
    TSortParams p;
    p.Direction = std::max(KRichtung->ItemIndex(), 0);
    p.Temperature = KTemperatur->ItemIndex();
    p.Wavelength = KWellenlaenge->ItemIndex();
    SortSpectraEntries(SpectraList, entries_, p);
    FillListBox();
}

void TSortDia::ListBox1MouseUp(int row) {
    std::vector<int32_t> positions, moved;
    for (int i = 0; i < ListBox1->count(); ++i)
        if (ListBox1->item(i)->isSelected()) {
            positions.push_back(i);
            moved.push_back(entries_[static_cast<std::size_t>(i)]);
        }
    if (positions.empty()) return;
    MoveSortEntries(entries_, positions, row);
    FillListBox(moved);
}

// A drag starts with the left button on a selected entry; the selection then stays as it is until
// the button is released on another entry (or past the last one), where the selected entries go.
bool TSortDia::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ListBox1->viewport()) return TToolDialog::eventFilter(watched, event);
    auto* me = dynamic_cast<QMouseEvent*>(event);
    if (!me) return false;
    auto rowAt = [this](const QMouseEvent* e) {
        QListWidgetItem* item = ListBox1->itemAt(e->position().toPoint());
        return item ? ListBox1->row(item) : -1;
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (me->button() != Qt::LeftButton || me->modifiers() != Qt::NoModifier) return false;
        const int row = rowAt(me);
        if (row < 0 || !ListBox1->item(row)->isSelected()) return false;
        dragging_ = true;
        pressRow_ = row;
        ListBox1->viewport()->setCursor(Qt::DragMoveCursor);
        return true;
    }
    case QEvent::MouseMove: return dragging_;
    case QEvent::MouseButtonRelease: {
        if (!dragging_ || me->button() != Qt::LeftButton) return false;
        dragging_ = false;
        ListBox1->viewport()->unsetCursor();
        const int row = rowAt(me);
        if (row == pressRow_) {
            // A click on a selected entry without moving: it alone is selected, as a click does.
            ListBox1->clearSelection();
            ListBox1->setCurrentRow(row);
            return true;
        }
        ListBox1MouseUp(row);
        return true;
    }
    default: return false;
    }
}

bool TSortDia::FormCloseOk() {
    ApplySortOrder(SpectraList, entries_);
    return true;
}
