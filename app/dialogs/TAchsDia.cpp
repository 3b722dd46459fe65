#include "app/dialogs/TAchsDia.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/help_ok_cancel_row.h"
#include "app/dialogs/tool_dialog.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "core/helpers.h"
#include "platform/errors.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

namespace {

void showError(const std::exception& e) { ShowErrorBox(e.what()); }

}  // namespace

TAchsDia::TAchsDia(QWidget* parent) : QDialog(parent) {
    setObjectName("AchsDia");
    setWindowTitle("Axes Display Options");
    auto* outer = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    outer->addLayout(columns);

    // The four axis types of a side as radio buttons "<group>Item0".."<group>Item3".
    auto axisTypes = [this](const char* name, const char* const (&texts)[4], QRadioButton* (&items)[4]) {
        auto* group = new QGroupBox("Axis Type", this);
        group->setObjectName(name);
        auto* lay = new QVBoxLayout(group);
        for (int i = 0; i < 4; ++i) {
            items[i] = new QRadioButton(QString::fromUtf8(texts[i]), group);
            items[i]->setObjectName(QString("%1Item%2").arg(name).arg(i));
            lay->addWidget(items[i]);
        }
        return group;
    };

    // x side
    auto* xCol = new QVBoxLayout;
    const char* xTexts[4] = {"Wavelength [nm]", "Wavelength [\xC2\xB5m]", "Wavenumbers", "Electron Volts"};
    XAchseGroup = axisTypes("XAchseGroup", xTexts, xItems_);
    for (int i = 0; i < 4; ++i)
        connect(xItems_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && !filling_) XAchseClick(i);
        });
    CXschrift = NewCheck(this, "CXschrift", "Show Axis Title", false);
    CXZwei = NewCheck(this, "CXZwei", "Alternating Tick Labels", false);
    AddWidgets(xCol, {XAchseGroup, CXschrift, CXZwei});

    XGrenzBox = new QGroupBox("Boundaries [nm]", this);
    XGrenzBox->setObjectName("XGrenzBox");
    auto* bf = new QFormLayout(XGrenzBox);
    XAnfang = AddEditRow(XGrenzBox, bf, "XAnfang", "from:");
    XEnde = AddEditRow(XGrenzBox, bf, "XEnde", "to:");
    CXGrenzen = NewCheck(XGrenzBox, "CXGrenzen", "Set Boundaries", false);
    bf->addRow(CXGrenzen);
    xCol->addWidget(XGrenzBox);
    connect(XAnfang, &QLineEdit::editingFinished, this, &TAchsDia::XAnfangClick);
    connect(XEnde, &QLineEdit::editingFinished, this, &TAchsDia::XEndeClick);
    connect(CXGrenzen, &QCheckBox::toggled, this, &TAchsDia::CXGrenzenClick);

    CXAnders = NewCheck(this, "CXAnders", "Set Axis Title:", false);
    EditXSchrift = NewEdit(this, "EditXSchrift", "");
    AddWidgets(xCol, {CXAnders, EditXSchrift});
    connect(CXAnders, &QCheckBox::toggled, this, &TAchsDia::CXAndersClick);
    xCol->addStretch(1);
    columns->addLayout(xCol);

    // y side
    auto* yCol = new QVBoxLayout;
    const char* yTexts[4] = {"Transmittance/ Refl.", "Absorbance/ Int.", "Epsilon", "log(Epsilon)"};
    YAchsentyp = axisTypes("YAchsentyp", yTexts, yItems_);
    CYSchrift = NewCheck(this, "CYSchrift", "Show Axis Title", false);
    CYAnders = NewCheck(this, "CYAnders", "Set Axis Title:", false);
    EditYSchrift = NewEdit(this, "EditYSchrift", "");
    AddWidgets(yCol, {YAchsentyp, CYSchrift, CYAnders, EditYSchrift});
    connect(CYAnders, &QCheckBox::toggled, this, &TAchsDia::CYAndersClick);
    yCol->addStretch(1);
    columns->addLayout(yCol);

    const HelpOkCancelButtons buttons = AddHelpOkCancelRow(this, outer);
    connect(buttons.ok, &QPushButton::clicked, this, &TAchsDia::OKBtnClick);
    connect(buttons.cancel, &QPushButton::clicked, this, &TAchsDia::reject);
    connect(buttons.help, &QPushButton::clicked, this, &TAchsDia::HelpBtnClick);

    enableEdit(XAnfang, false, true);
    enableEdit(XEnde, false, true);
    enableEdit(EditXSchrift, false, false);
    enableEdit(EditYSchrift, false, false);
}

void TAchsDia::enableEdit(QLineEdit* edit, bool on, bool silverWhenOff) {
    // Read-only rather than disabled, so the values stay legible on the silver background.
    edit->setReadOnly(!on);
    edit->setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base, on ? QColor(Qt::white) : (silverWhenOff ? QColor(0xC0, 0xC0, 0xC0)
                                                                         : pal.color(QPalette::Button)));
    edit->setPalette(pal);
}

void TAchsDia::FormActivate(const axes::AxesSettings& s) {
    snapshot_ = s;
    settings_ = s;
    currentUnit_ = s.DisplayXUnit;
    filling_ = true;
    xItems_[axes::ItemOfUnit(s.DisplayXUnit)]->setChecked(true);
    yItems_[axes::YItemOfMode(s.DisplayYMode)]->setChecked(true);
    CXZwei->setChecked(s.AlternateTickLabels);
    CXschrift->setChecked(s.ShowXTitle);
    CYSchrift->setChecked(s.ShowYTitle);
    CXAnders->setChecked(s.CustomXTitleOn);
    CYAnders->setChecked(s.CustomYTitleOn);
    EditXSchrift->setText(Q(s.CustomXTitle));
    EditYSchrift->setText(Q(s.CustomYTitle));
    CXGrenzen->setChecked(false);
    filling_ = false;
    CXGrenzenClick();
    CXAndersClick();
    CYAndersClick();
    showBounds(false);
}

void TAchsDia::showBounds(bool afterTypeChange) {
    auto [from, to] = axes::BoundTexts({settings_.XDrawnMin, settings_.XDrawnMax}, currentUnit_,
                                       afterTypeChange);
    const QSignalBlocker b1(XAnfang), b2(XEnde);
    XAnfang->setText(Q(from));
    XEnde->setText(Q(to));
    XGrenzBox->setTitle(QString::fromUtf8(axes::BoxCaption(currentUnit_, afterTypeChange).c_str()));
}

int TAchsDia::XAchseItem() const {
    for (int i = 0; i < 4; ++i)
        if (xItems_[i]->isChecked()) return i;
    return 0;
}

int TAchsDia::YAchsentypItem() const {
    for (int i = 0; i < 4; ++i)
        if (yItems_[i]->isChecked()) return i;
    return 1;
}

void TAchsDia::XAchseClick(int item) {
    const SpecXUnit unit = axes::UnitOfItem(item);
    if (unit == currentUnit_) return;
    auto b = axes::ConvertBounds({settings_.XDrawnMin, settings_.XDrawnMax}, currentUnit_, unit);
    settings_.XDrawnMin = b.lower;
    settings_.XDrawnMax = b.upper;
    settings_.DisplayXUnit = unit;
    currentUnit_ = unit;
    showBounds(true);
}

void TAchsDia::boundEditLeft(bool isFrom) {
    if (!CXGrenzen->isChecked()) return;  // the edits are read-only while boundaries are not set
    axes::Bounds b{settings_.XDrawnMin, settings_.XDrawnMax};
    try {
        bool ordered = axes::SetBoundFromText(b, currentUnit_, isFrom, (isFrom ? XAnfang : XEnde)->text().toStdString());
        settings_.XDrawnMin = b.lower;
        settings_.XDrawnMax = b.upper;
        if (!ordered) ui::messageBox(axes::kWrongBoundaries);
    } catch (const vx::Error& e) {
        showError(e);
    }
}

void TAchsDia::XAnfangClick() { boundEditLeft(true); }
void TAchsDia::XEndeClick() { boundEditLeft(false); }

void TAchsDia::CXGrenzenClick() {
    enableEdit(XAnfang, CXGrenzen->isChecked(), true);
    enableEdit(XEnde, CXGrenzen->isChecked(), true);
}

void TAchsDia::CXAndersClick() { enableEdit(EditXSchrift, CXAnders->isChecked(), false); }
void TAchsDia::CYAndersClick() { enableEdit(EditYSchrift, CYAnders->isChecked(), false); }

void TAchsDia::OKBtnClick() {
    axes::AxesForm f;
    f.xItem = XAchseItem();
    f.setBoundaries = CXGrenzen->isChecked();
    f.fromText = XAnfang->text().toStdString();
    f.toText = XEnde->text().toStdString();
    f.yItem = YAchsentypItem();
    f.showXTitle = CXschrift->isChecked();
    f.alternateTickLabels = CXZwei->isChecked();
    f.customXTitleOn = CXAnders->isChecked();
    f.customXTitle = EditXSchrift->text().toStdString();
    f.showYTitle = CYSchrift->isChecked();
    f.customYTitleOn = CYAnders->isChecked();
    f.customYTitle = EditYSchrift->text().toStdString();
    try {
        axes::ApplyAxesForm(settings_, f);
    } catch (const vx::Error& e) {
        showError(e);
        return;  // the dialog stays open
    }
    accept();
}

void TAchsDia::reject() {
    // Unit, drawn range and keep flag go back to what they were at activation.
    settings_ = snapshot_;
    QDialog::reject();
}

void TAchsDia::HelpBtnClick() {
    OpenDialogHelp(ProgramSettings.ProgramFolder, "html\\varolux_man_opt_en.html#achsen");
}
