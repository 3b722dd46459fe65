#include "app/dialogs/tool_dialog.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <exception>

#include "app/dialogs/help_ok_cancel_row.h"
#include "app/program_state.h"
#include "core/spectra_list.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

namespace {
std::function<int(QDialog&)>& modalRunner() {
    static std::function<int(QDialog&)> runner;
    return runner;
}
}  // namespace

int RunModal(QDialog& dialog) { return modalRunner() ? modalRunner()(dialog) : dialog.exec(); }

void SetModalRunner(std::function<int(QDialog&)> runner) { modalRunner() = std::move(runner); }

std::optional<uint32_t> ChooseColor(QWidget* parent, uint32_t start) {
    QColorDialog dlg(QColor(start & 0xFF, (start >> 8) & 0xFF, (start >> 16) & 0xFF), parent);
    dlg.setObjectName("ColorDialog");
    if (RunModal(dlg) != QDialog::Accepted) return std::nullopt;
    // The colour shown when the dialog closed: what OK takes, also for a runner that answers for the user.
    const QColor c = dlg.currentColor();
    return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
           (static_cast<uint32_t>(c.blue()) << 16);
}

TToolDialog::TToolDialog(QWidget* parent) : QDialog(parent) { setModal(true); }

void TToolDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    try {
        FormActivate();
    } catch (const std::exception& e) {
        ui::messageBox(e.what());
    }
}

void TToolDialog::done(int result) {
    if (result == QDialog::Accepted) {
        try {
            if (!FormCloseOk()) return;
        } catch (const std::exception& e) {
            // A number that is no number: the user corrects it in the open dialog.
            ui::messageBox(e.what());
            return;
        }
    }
    QDialog::done(result);
}

QBoxLayout* TToolDialog::AddButtonRow(QBoxLayout* into, const char* helpPage) {
    const OkCancelButtons buttons = AddOkCancelRow(this, into);
    connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (helpPage) {
        helpPage_ = helpPage;
        QPushButton* help = NewButton(this, "Button1", "Help");
        connect(help, &QPushButton::clicked, this, &TToolDialog::Button1Click);
        buttons.row->addWidget(help);
    }
    return buttons.row;
}

void TToolDialog::Button1Click() {
    if (helpPage_) OpenDialogHelp(ProgramSettings.ProgramFolder, helpPage_);
}

QComboBox* NewCombo(QWidget* parent, const char* name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    return c;
}

QCheckBox* NewCheck(QWidget* parent, const char* name, const QString& caption, bool checked) {
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    c->setChecked(checked);
    return c;
}

QLineEdit* NewEdit(QWidget* parent, const char* name, const QString& text) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    return e;
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QPushButton* NewButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

void AddWidgets(QBoxLayout* into, std::initializer_list<QWidget*> widgets) {
    for (QWidget* w : widgets) into->addWidget(w);
}

QLineEdit* AddEditRow(QWidget* parent, QFormLayout* form, const char* name, const QString& caption,
                      const QString& text) {
    QLineEdit* e = NewEdit(parent, name, text);
    form->addRow(caption, e);
    return e;
}

void AddPairRow(QWidget* parent, QFormLayout* form, const QString& caption, QWidget* field, QWidget* trailing) {
    auto* row = new QWidget(parent);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    field->setParent(row);
    trailing->setParent(row);
    h->addWidget(field, 1);
    h->addWidget(trailing);
    form->addRow(caption, row);
}

QSlider* AddSliderRow(QWidget* parent, QFormLayout* form, const char* name, const QString& caption, int lo, int hi,
                      int labelWidth, const char* valueName) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(lo, hi);
    QLabel* value = NewLabel(parent, valueName, QString::number(s->value()));
    value->setMinimumWidth(labelWidth);
    QObject::connect(s, &QSlider::valueChanged, value, [value](int v) { value->setNum(v); });
    AddPairRow(parent, form, caption, s, value);
    return s;
}

QComboBox* AddSpectrumRow(QWidget* parent, QBoxLayout* into, const char* name) {
    auto* row = new QHBoxLayout;
    QComboBox* box = NewCombo(parent, name);
    row->addWidget(new QLabel("Spectrum:", parent));
    row->addWidget(box, 1);
    into->addLayout(row);
    return box;
}

void FillSpectrumCombo(QComboBox* box, int selected) {
    box->clear();
    for (const auto& rec : SpectraList) box->addItem(Q(rec->Title.str()));
    if (box->count() == 0) return;
    if (selected < 0) selected = 0;
    if (selected >= box->count()) selected = box->count() - 1;
    box->setCurrentIndex(selected);
}

void FitComboToEntries(QComboBox* box) {
    // A box's own minimum keeps the width of its first entries; its size hint follows every entry.
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box->setMinimumWidth(0);
    box->setMinimumWidth(box->sizeHint().width());
}

void SetGreyed(QWidget* w, bool greyed) {
    w->setEnabled(!greyed);
    w->setStyleSheet(greyed ? "background-color: #C0C0C0;" : QString());
}

void SetTypeChoice(std::initializer_list<QWidget*> spectrumChoice, QWidget* tagBox, bool byType) {
    for (QWidget* w : spectrumChoice) SetGreyed(w, byType);
    SetGreyed(tagBox, !byType);
}

double EditFloat(QLineEdit* edit) {
    std::string t = S(edit->text());
    const TEditWriteBack back(edit, t);
    return DialogFloat(t);
}

TEditWriteBack::~TEditWriteBack() { edit_->setText(Q(text_)); }
