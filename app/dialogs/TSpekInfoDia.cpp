#include "app/dialogs/TSpekInfoDia.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "app/dialogs/tool_dialog.h"
#include "app/program_state.h"
#include "core/helpers.h"
#include "core/spectra_list.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"
#include "tools/spectrum_info.h"

TSpekInfoDia::TSpekInfoDia(QWidget* parent) : QDialog(parent) {
    setObjectName("SpekInfoDia");
    setWindowTitle("Spectra Information");
    setModal(true);
    auto* lay = new QVBoxLayout(this);
    Spekbox = NewCombo(this, "Spekbox");
    Spekbox->setMinimumWidth(360);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setTabStopDistance(Memo1->fontMetrics().horizontalAdvance(' ') * 12);
    Memo1->setMinimumSize(460, 330);
    lay->addWidget(Spekbox);
    lay->addWidget(Memo1, 1);
    auto* row = new QHBoxLayout;
    Button2 = new QPushButton("Copy Information", this);
    Button2->setObjectName("Button2");
    Button1 = NewButton(this, "Button1", "Help");
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    row->addWidget(Button2);
    row->addStretch(1);
    row->addWidget(Button1);
    row->addWidget(OKBtn);
    lay->addLayout(row);
    connect(Spekbox, &QComboBox::currentIndexChanged, this, [this] { MemoSchreiben(); });
    connect(Button1, &QPushButton::clicked, this, &TSpekInfoDia::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TSpekInfoDia::Button2Click);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TSpekInfoDia::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TSpekInfoDia::FormActivate() {
    const QSignalBlocker block(Spekbox);
    FillSpectrumCombo(Spekbox, 0);
    MemoSchreiben();
}

void TSpekInfoDia::MemoSchreiben() {
    const int i = Spekbox->currentIndex();
    if (!ValidSpectrumIndex(SpectraList, i)) {
        Memo1->clear();
        return;
    }
    QStringList lines;
    for (const std::string& l : BuildInfoText(SpectraList[i])) lines << Q(l);
    Memo1->setPlainText(lines.join('\n'));
    Memo1->moveCursor(QTextCursor::Start);
}

void TSpekInfoDia::Button1Click() {
    OpenDialogHelp(ProgramSettings.ProgramFolder, "html\\varolux_man_spek_en.html#info");
}

void TSpekInfoDia::Button2Click() {
    Memo1->selectAll();
    DelayWithMessages(300);
    // Clipboard texts end their lines with CR LF.
    QString text = Memo1->toPlainText();
    text.replace('\n', "\r\n");
    ui::setClipboardText(S(text));
    QTextCursor c = Memo1->textCursor();
    c.clearSelection();
    Memo1->setTextCursor(c);
}
