#include "app/dialogs/TLoeschdia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/spectra_list.h"
#include "tools/remove_spectra.h"

TLoeschdia::TLoeschdia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("Loeschdia");
    setWindowTitle("Remove spectra");
    auto* lay = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    SrcList = new QListWidget(this);
    SrcList->setObjectName("SrcList");
    DstList = new QListWidget(this);
    DstList->setObjectName("DstList");
    for (auto* l : {SrcList, DstList}) l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    IncludeBtn = NewButton(this, "IncludeBtn", ">");
    IncAllBtn = NewButton(this, "IncAllBtn", ">>");
    ExcludeBtn = NewButton(this, "ExcludeBtn", "<");
    ExAllBtn = NewButton(this, "ExAllBtn", "<<");
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    for (auto* b : {IncludeBtn, IncAllBtn, ExcludeBtn, ExAllBtn}) buttons->addWidget(b);
    buttons->addStretch(1);
    grid->addWidget(new QLabel("Spectra", this), 0, 0);
    grid->addWidget(new QLabel("delete", this), 0, 2);
    grid->addWidget(SrcList, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(DstList, 1, 2);
    lay->addLayout(grid);
    CheckBox1 = NewCheck(this, "CheckBox1", "remove all spectra of one type", false);
    ComboBox1 = NewCombo(this, "ComboBox1");
    for (const auto& t : RemoveDialogTags()) ComboBox1->addItem(Q(t));
    lay->addWidget(CheckBox1);
    lay->addWidget(ComboBox1);
    AddButtonRow(lay, "html\\varolux_man_spek_en.html#loesch");

    connect(IncludeBtn, &QPushButton::clicked, this, &TLoeschdia::IncludeBtnClick);
    connect(ExcludeBtn, &QPushButton::clicked, this, &TLoeschdia::ExcludeBtnClick);
    connect(IncAllBtn, &QPushButton::clicked, this, &TLoeschdia::IncAllBtnClick);
    connect(ExAllBtn, &QPushButton::clicked, this, &TLoeschdia::ExcAllBtnClick);
    connect(CheckBox1, &QCheckBox::clicked, this, &TLoeschdia::CheckBox1Click);
    resize(520, 380);
}

void TLoeschdia::FormActivate() {
    SrcList->clear();
    DstList->clear();
    for (int32_t i = 0; i < SpectraList.Count(); ++i) SrcList->addItem(Q(RemoveListItemText(SpectraList, i)));
    CheckBox1->setChecked(false);
    CheckBox1->setEnabled(true);
    for (auto* w : {static_cast<QWidget*>(SrcList), static_cast<QWidget*>(DstList)}) SetGreyed(w, false);
    for (auto* b : {IncludeBtn, IncAllBtn, ExcludeBtn, ExAllBtn}) b->setEnabled(true);
    SetGreyed(ComboBox1, true);
    ComboBox1->setCurrentIndex(0);
    SetButtons();
}

void TLoeschdia::moveSelected(QListWidget* from, QListWidget* to) {
    int first = -1;
    // From the last item to the first, as the items are taken out; the first moved one is the one
    // with the lowest position.
    for (int i = from->count() - 1; i >= 0; --i) {
        if (!from->item(i)->isSelected()) continue;
        QListWidgetItem* item = from->takeItem(i);
        item->setSelected(false);
        to->addItem(item);
        first = i;
    }
    from->clearSelection();
    if (from->count() == 0 || first < 0) {
        SetButtons();
        return;
    }
    const int pos = first < from->count() ? first : from->count() - 1;
    from->setCurrentRow(pos);
    from->item(pos)->setSelected(true);
    SetButtons();
}

void TLoeschdia::moveAll(QListWidget* from, QListWidget* to) {
    while (from->count() > 0) {
        QListWidgetItem* item = from->takeItem(0);
        item->setSelected(false);
        to->addItem(item);
    }
    SetButtons();
}

void TLoeschdia::IncludeBtnClick() { moveSelected(SrcList, DstList); }
void TLoeschdia::ExcludeBtnClick() { moveSelected(DstList, SrcList); }
void TLoeschdia::IncAllBtnClick() { moveAll(SrcList, DstList); }
void TLoeschdia::ExcAllBtnClick() { moveAll(DstList, SrcList); }

void TLoeschdia::SetButtons() {
    const bool byType = CheckBox1->isChecked();
    IncludeBtn->setEnabled(!byType && SrcList->count() > 0);
    IncAllBtn->setEnabled(!byType && SrcList->count() > 0);
    ExcludeBtn->setEnabled(!byType && DstList->count() > 0);
    ExAllBtn->setEnabled(!byType && DstList->count() > 0);
}

void TLoeschdia::CheckBox1Click() {
    SetTypeChoice({SrcList, DstList}, ComboBox1, CheckBox1->isChecked());
    SetButtons();
}

bool TLoeschdia::FormCloseOk() {
    if (CheckBox1->isChecked()) {
        RemoveSpectraOfType(SpectraList, S(ComboBox1->currentText()));
        return true;
    }
    std::vector<std::string> items;
    for (int i = 0; i < DstList->count(); ++i) items.push_back(S(DstList->item(i)->text()));
    RemoveSpectraByItems(SpectraList, items);
    return true;
}
