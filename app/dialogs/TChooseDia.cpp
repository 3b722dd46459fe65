// The layout question of the delimited-text reader: x/y column pairs or one shared x column.
#include <QButtonGroup>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

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

        auto* group = new QGroupBox("sequence of data columns:", this);
        group->setObjectName("RadioGroup1");
        auto* groupLayout = new QVBoxLayout(group);
        buttons_ = new QButtonGroup(this);
        std::vector<std::string> items = q.items;
        if (items.empty()) items = {"x  y  x  y  x  y", "x  y  y  y  y  y"};
        for (std::size_t i = 0; i < items.size(); ++i) {
            auto* rb = new QRadioButton(QString::fromStdString(items[i]), group);
            rb->setObjectName(QString("RadioGroup1_%1").arg(i));
            buttons_->addButton(rb, static_cast<int>(i));
            groupLayout->addWidget(rb);
        }
        int start = 0;
        if (auto f = q.fields.find("RadioGroup1"); f != q.fields.end()) start = QString::fromStdString(f->second).toInt();
        if (auto* b = buttons_->button(start)) b->setChecked(true);
        layout->addWidget(group);

        auto* row = new QHBoxLayout;
        auto* ok = new QPushButton("OK", this);
        ok->setObjectName("OKBtn");
        ok->setDefault(true);
        auto* cancel = new QPushButton("Cancel", this);
        cancel->setObjectName("CancelBtn");
        row->addWidget(ok);
        row->addWidget(cancel);
        layout->addLayout(row);
        connect(ok, &QPushButton::clicked, this, [this] { done(1); });
        connect(cancel, &QPushButton::clicked, this, [this] { done(2); });
    }

    // The chosen item when the dialog closed with OK, else -1.
    int FormClose(int modalResult) const { return modalResult == 1 ? buttons_->checkedId() : -1; }

private:
    QButtonGroup* buttons_ = nullptr;
};

bool runChooseDia(ui::Query& q) {
    TChooseDia dia(q);
    int chosen = dia.FormClose(dia.exec());
    q.fields["RadioGroup1"] = std::to_string(chosen);
    return chosen >= 0;
}

const QueryDialogRegistrar registrar("TChooseDia", runChooseDia);

}  // namespace
