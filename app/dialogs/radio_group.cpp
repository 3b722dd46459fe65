#include "app/dialogs/radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(QWidget* parent, const char* name, const QString& caption,
                         const QStringList& items, int itemIndex)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
    setObjectName(name);
    auto* lay = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setObjectName(QString("%1_%2").arg(name).arg(i));
        group_->addButton(b, i);
        lay->addWidget(b);
    }
    SetItemIndex(itemIndex);
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) emit ItemIndexChanged(id);
    });
}

int TRadioGroup::ItemIndex() const { return group_->checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
    if (auto* b = group_->button(index)) {
        b->setChecked(true);
    } else if (index < 0 && group_->checkedButton()) {
        // No item chosen: an exclusive group cannot uncheck its last button.
        group_->setExclusive(false);
        group_->checkedButton()->setChecked(false);
        group_->setExclusive(true);
    }
}
