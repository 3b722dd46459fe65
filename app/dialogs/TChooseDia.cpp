// The layout question of the delimited-text reader: x/y column pairs or one shared x column.
#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/help_ok_cancel_row.h"
#include "app/dialogs/radio_group.h"
#include "app/query_dialogs.h"

namespace {

class TChooseDia : public QDialog {
public:
    explicit TChooseDia(const ui::Query& q) {
        setObjectName("TChooseDia");
        setWindowTitle(QString::fromStdString(q.caption.empty() ? "Choose your data option!" : q.caption));
        auto* layout = new QVBoxLayout(this);
        auto* label1 = new QLabel("spectrum file:", this);
        label1->setObjectName("Label1");
        layout->addWidget(label1);
        auto* label2 = new QLabel(this);
        label2->setObjectName("Label2");
        label2->setWordWrap(true);
        label2->setFixedWidth(250);
        auto it = q.fields.find("Label2");
        QString source = it == q.fields.end() ? QString() : QString::fromStdString(it->second);
        // A long file name is shortened with an ellipsis to fit the label.
        label2->setText(QFontMetrics(label2->font()).elidedText(source, Qt::ElideMiddle, 250));
        layout->addWidget(label2);

        QStringList items;
        for (const std::string& item : q.items) items << QString::fromStdString(item);
        if (items.isEmpty()) items = {"x  y  x  y  x  y", "x  y  y  y  y  y"};
        int start = 0;
        if (auto f = q.fields.find("RadioGroup1"); f != q.fields.end()) start = QString::fromStdString(f->second).toInt();
        // A start outside the items chooses none.
        group_ = new TRadioGroup(this, "RadioGroup1", "sequence of data columns:", items, start);
        layout->addWidget(group_);

        const OkCancelButtons buttons = AddOkCancelRow(this, layout);
        connect(buttons.ok, &QPushButton::clicked, this, [this] { done(1); });
        connect(buttons.cancel, &QPushButton::clicked, this, [this] { done(2); });
    }

    // The chosen item when the dialog closed with OK, else -1.
    int FormClose(int modalResult) const { return modalResult == 1 ? group_->ItemIndex() : -1; }

private:
    TRadioGroup* group_ = nullptr;
};

bool runChooseDia(ui::Query& q) {
    TChooseDia dia(q);
    int chosen = dia.FormClose(dia.exec());
    q.fields["RadioGroup1"] = std::to_string(chosen);
    return chosen >= 0;
}

const QueryDialogRegistrar registrar("TChooseDia", runChooseDia);

}  // namespace
