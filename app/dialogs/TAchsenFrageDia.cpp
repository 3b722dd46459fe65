// The axis type query: asks for the x unit and y kind of a headerless text file. Raised by the ASCII
// reader through ui::ask; the fields "XUnit" and "YKind" carry the codes in and out.
#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>

#include "app/query_dialogs.h"
#include "formats/ascii_reader.h"
#include "platform/numtext.h"

namespace {

// Item index -> code; the dialog shows the items in this order.
constexpr std::array<int, 5> kXCodes = {1, 4, 3, 2, 5};
constexpr std::array<int, 6> kYCodes = {1, 6, 2, 5, 3, 4};

class TAchsenFrageDia : public QDialog {
public:
    explicit TAchsenFrageDia(QWidget* parent = nullptr) : QDialog(parent) {
        setObjectName("AchsenFrageDia");
        setWindowTitle("axis type query");
        Label1 = new QLabel(this);
        Label1->setObjectName("Label1");
        Label2 = new QLabel(this);
        Label2->setObjectName("Label2");
        Label2->setWordWrap(true);
        RXAchse = makeGroup("RXAchse", "X-Axis Type",
                            {"Wavelength [nm]", "Wavelength [\xC2\xB5m]", "Electron Volts eV", "Wavenumbers [1/cm]",
                             "Raman Shift [1/cm]"},
                            xButtons);
        RYAchse = makeGroup("RYAchse", "Y-Axis Type",
                            {"Transmittance", "Reflectance", "Absorbance", "Intensity/ Counts", "Epsilon",
                             "log(Epsilon)"},
                            yButtons);
        OKBtn = new QPushButton("OK", this);
        OKBtn->setObjectName("OKBtn");
        OKBtn->setDefault(true);
        CancelBtn = new QPushButton("Cancel", this);
        CancelBtn->setObjectName("CancelBtn");
        connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
        connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);  // Escape rejects as well

        auto* groups = new QHBoxLayout;
        groups->addWidget(RXAchse);
        groups->addWidget(RYAchse);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(OKBtn);
        buttons->addWidget(CancelBtn);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(Label1);
        layout->addWidget(Label2);
        layout->addLayout(groups);
        layout->addLayout(buttons);
    }

    // Selects the items of the given codes; a code outside the table leaves its group unchanged.
    void FormActivate(int xCode, int yCode) {
        select(xButtons, kXCodes.data(), kXCodes.size(), xCode);
        select(yButtons, kYCodes.data(), kYCodes.size(), yCode);
    }

    // The codes of the selected items (0 where nothing is selected).
    std::pair<int, int> FormClose() const {
        return {selected(xButtons, kXCodes.data()), selected(yButtons, kYCodes.data())};
    }

    QLabel* Label1;
    QLabel* Label2;
    QGroupBox* RXAchse;
    QGroupBox* RYAchse;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

private:
    QGroupBox* makeGroup(const char* name, const char* title, std::initializer_list<const char*> items,
                         QButtonGroup*& buttons) {
        auto* box = new QGroupBox(QString::fromUtf8(title), this);
        box->setObjectName(name);
        buttons = new QButtonGroup(box);
        auto* layout = new QVBoxLayout(box);
        int i = 0;
        for (const char* text : items) {
            auto* b = new QRadioButton(QString::fromUtf8(text), box);
            b->setObjectName(QString("%1_%2").arg(name).arg(i));
            buttons->addButton(b, i++);
            layout->addWidget(b);
        }
        return box;
    }

    static void select(QButtonGroup* g, const int* codes, std::size_t n, int code) {
        for (std::size_t i = 0; i < n; ++i)
            if (codes[i] == code) g->button(static_cast<int>(i))->setChecked(true);
    }

    static int selected(const QButtonGroup* g, const int* codes) {
        int id = g->checkedId();
        return id < 0 ? 0 : codes[id];
    }

    QButtonGroup* xButtons = nullptr;
    QButtonGroup* yButtons = nullptr;
};

bool runAchsenFrageDia(ui::Query& q) {
    TAchsenFrageDia dia;
    dia.Label1->setText(QString::fromStdString(q.fields[kAxisQueryFileLabel]));
    dia.Label2->setText(QString::fromStdString(q.fields[kAxisQueryPathLabel]));
    dia.FormActivate(numtext::TryStrToInt(q.fields[kAxisQueryXUnit]).value_or(0),
                     numtext::TryStrToInt(q.fields[kAxisQueryYKind]).value_or(0));
    const bool ok = dia.exec() == QDialog::Accepted;
    // Every close, OK or Cancel, hands back the selection.
    auto [x, y] = dia.FormClose();
    if (x) q.fields[kAxisQueryXUnit] = std::to_string(x);
    if (y) q.fields[kAxisQueryYKind] = std::to_string(y);
    return ok;
}

const QueryDialogRegistrar registrar(kAxisQueryDialog, &runAchsenFrageDia);

}  // namespace
