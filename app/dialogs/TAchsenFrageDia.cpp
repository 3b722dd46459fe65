// The axis type query: asks for the x unit and y kind of a headerless text file. Raised by the ASCII
// reader through ui::ask; the fields "XUnit" and "YKind" carry the codes in and out.
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

#include "app/dialogs/help_ok_cancel_row.h"
#include "app/dialogs/radio_group.h"
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
        RXAchse = new TRadioGroup(this, "RXAchse", "X-Axis Type",
                                  {"Wavelength [nm]", QString::fromUtf8("Wavelength [\xC2\xB5m]"), "Electron Volts eV",
                                   "Wavenumbers [1/cm]", "Raman Shift [1/cm]"},
                                  -1);
        RYAchse = new TRadioGroup(this, "RYAchse", "Y-Axis Type",
                                  {"Transmittance", "Reflectance", "Absorbance", "Intensity/ Counts", "Epsilon",
                                   "log(Epsilon)"},
                                  -1);
        auto* groups = new QHBoxLayout;
        groups->addWidget(RXAchse);
        groups->addWidget(RYAchse);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(Label1);
        layout->addWidget(Label2);
        layout->addLayout(groups);
        const OkCancelButtons buttons = AddOkCancelRow(this, layout);
        OKBtn = buttons.ok;
        CancelBtn = buttons.cancel;
        connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
        connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);  // Escape rejects as well
    }

    // Selects the items of the given codes; a code outside the table leaves its group unchanged.
    void FormActivate(int xCode, int yCode) {
        select(RXAchse, kXCodes.data(), kXCodes.size(), xCode);
        select(RYAchse, kYCodes.data(), kYCodes.size(), yCode);
    }

    // The codes of the selected items (0 where nothing is selected).
    std::pair<int, int> FormClose() const {
        return {selected(RXAchse, kXCodes.data()), selected(RYAchse, kYCodes.data())};
    }

    QLabel* Label1;
    QLabel* Label2;
    TRadioGroup* RXAchse;
    TRadioGroup* RYAchse;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

private:
    static void select(TRadioGroup* g, const int* codes, std::size_t n, int code) {
        for (std::size_t i = 0; i < n; ++i)
            if (codes[i] == code) g->SetItemIndex(static_cast<int>(i));
    }

    static int selected(const TRadioGroup* g, const int* codes) {
        const int id = g->ItemIndex();
        return id < 0 ? 0 : codes[id];
    }
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
