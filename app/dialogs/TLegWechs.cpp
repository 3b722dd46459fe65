#include "app/dialogs/TLegWechs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/help_ok_cancel_row.h"
#include "core/file_names.h"
#include "tools/legend_texts.h"

TLegWechs::TLegWechs(const std::vector<std::string>& legends, const std::vector<std::string>& fileNames,
                     QWidget* parent)
    : QDialog(parent), fileNames_(fileNames) {
    setObjectName("LegWechs");
    setWindowTitle("edit legend texts");
    auto* outer = new QVBoxLayout(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    outer->addWidget(Memo1, 1);

    auto* form = new QFormLayout;
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName("Edit2");
    form->addRow("replace:", Edit1);
    form->addRow("by:", Edit2);
    outer->addLayout(form);

    auto* row = new QHBoxLayout;
    auto* replace = new QPushButton("Replace", this);
    replace->setObjectName("Button1");
    auto* reset = new QPushButton("Reset", this);
    reset->setObjectName("Button2");
    auto* byName = new QPushButton("Replace by filename", this);
    byName->setObjectName("Button3");
    row->addWidget(replace);
    row->addWidget(reset);
    row->addWidget(byName);
    outer->addLayout(row);

    const OkCancelButtons buttons = AddOkCancelRow(this, outer);

    connect(replace, &QPushButton::clicked, this, &TLegWechs::Button1Click);
    connect(reset, &QPushButton::clicked, this, &TLegWechs::Button2Click);
    connect(byName, &QPushButton::clicked, this, &TLegWechs::Button3Click);
    connect(buttons.ok, &QPushButton::clicked, this, &TLegWechs::OKBtnClick);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);

    setMemoLines(legends);
    remembered_ = Memo1->toPlainText().toStdString();
    resize(480, 360);
}

void TLegWechs::setMemoLines(const std::vector<std::string>& lines) {
    QStringList l;
    for (const auto& s : lines) l << QString::fromStdString(s);
    Memo1->setPlainText(l.join('\n'));
}

std::vector<std::string> TLegWechs::MemoLines() const {
    std::vector<std::string> lines;
    const QString text = Memo1->toPlainText();
    if (text.isEmpty()) return lines;
    for (const QString& line : text.split('\n')) lines.push_back(line.toStdString());
    return lines;
}

void TLegWechs::Button1Click() {
    auto lines = MemoLines();
    legend::ReplaceInLines(lines, Edit1->text().toStdString(), Edit2->text().toStdString());
    setMemoLines(lines);
}

void TLegWechs::Button2Click() { Memo1->setPlainText(QString::fromStdString(remembered_)); }

void TLegWechs::Button3Click() {
    std::vector<std::string> lines;
    for (const auto& f : fileNames_) lines.push_back(NameWithoutFolder(f));
    setMemoLines(lines);
}

void TLegWechs::OKBtnClick() {
    result_ = legend::LinesToTakeOver(MemoLines(), static_cast<int>(fileNames_.size()));
    accept();
}
