#pragma once
// "Gnuplot Options": title, axis titles, legend corner, PostScript colours and additional commands of
// the gnuplot export; OK writes the command and data files. It lives as long as the main window.
#include "app/dialogs/tool_dialog.h"
#include "formats/gnuplot_writer.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class TRadioGroup;

class TGnuDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TGnuDia(QWidget* parent = nullptr);

    QLineEdit* Titelbox;
    TRadioGroup* XAchsenBeschriftung;
    TRadioGroup* YAchsenBeschriftung;
    TRadioGroup* Legendebox;
    TRadioGroup* PSOutput;
    QCheckBox* BefehlCheckBox1;
    QPlainTextEdit* Befehlliste;

    // What the export copies of the plot; the command sets it before it shows the dialog.
    TGnuplotPlot Plot;

    void BefehlCheckBox1Click();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
};
