#include "app/dialogs/TMittelDia.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "core/spectra_list.h"
#include "core/units.h"
#include "tools/average.h"
#include "tools/dialog_support.h"

TMittelDia::TMittelDia(QWidget* parent) : TToolDialog(parent) {
    setObjectName("MittelDia");
    setWindowTitle("Spectra Averaging");
    auto* lay = new QVBoxLayout(this);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setSelectionMode(QAbstractItemView::MultiSelection);
    ListBox1->viewport()->installEventFilter(this);
    MittelSpekName = NewEdit(this, "MittelSpekName", "");
    lay->addWidget(new QLabel("Selection: ", this));
    lay->addWidget(ListBox1);
    lay->addWidget(new QLabel("Legend Title for averaged Spectrum:", this));
    lay->addWidget(MittelSpekName);
    AddButtonRow(lay, "html\\varolux_man_rech_en.html#mittel");
    connect(ListBox1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ListBox1LeftClick(ListBox1->row(item)); });
    resize(420, 360);
}

bool TMittelDia::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListBox1->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::RightButton) {
            if (QListWidgetItem* item = ListBox1->itemAt(me->position().toPoint()))
                ListBox1RightClick(ListBox1->row(item));
            return true;
        }
    }
    return TToolDialog::eventFilter(watched, event);
}

void TMittelDia::ListBox1LeftClick(int row) {
    if (ValidSpectrumIndex(SpectraList, row)) MittelSpekName->setText(Q(AverageTitleFor(SpectraList, row)));
}

void TMittelDia::ListBox1RightClick(int row) {
    if (ValidSpectrumIndex(SpectraList, row))
        MittelSpekName->setText(Q(AverageTitleExtended(SpectraList, S(MittelSpekName->text()), row)));
}

void TMittelDia::FormActivate() {
    ListBox1->clear();
    for (int32_t i = 0; i < SpectraList.Count(); ++i) ListBox1->addItem(Q(AverageListItemText(SpectraList, i)));
    MittelSpekName->setText(SpectraList.Empty() ? QString() : Q(AverageTitleFor(SpectraList, 0)));
}

bool TMittelDia::FormCloseOk() {
    std::vector<int32_t> selected;
    for (int i = 0; i < ListBox1->count(); ++i)
        if (ListBox1->item(i)->isSelected()) selected.push_back(i);
    // Too few selected: the user selects more in the open dialog.
    return RunAveraging(SpectraList, CurrentDisplayState(), selected, S(MittelSpekName->text())) ||
           selected.size() >= 2;
}
