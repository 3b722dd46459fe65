#pragma once
// "EEM - Excitation Emission Matrix": the loaded spectra as a colour map of intensity over excitation
// and emission wavelength, with draw type, contour and colour counts, scaling, logarithm, gradient,
// axis swap, read-out and clipboard copy. It changes no spectrum.
#include <QDialog>

#include "tools/eem_display.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QPushButton;
class QSlider;
class TPColor;
class TRadioGroup;

class TEEMDia : public QDialog {
    Q_OBJECT
public:
    // Builds the grid from the spectra list over the plot's x range (display units).
    TEEMDia(QWidget* parent, double plotXMin, double plotXMax);

    TPColor* PColor1;
    QCheckBox* CheckBox1;  // "Contour"
    QCheckBox* CheckBox2;  // "interpolated"
    QSlider* RxSlider1;    // contour lines
    QSlider* RxSlider2;    // colours
    QCheckBox* CheckBox3;  // "automat."
    QLineEdit* Edit1;      // maximum
    QLineEdit* Edit2;      // minimum
    QCheckBox* CheckBox4;  // "logarithm."
    QCheckBox* CheckBox5;  // "Axes"
    TRadioGroup* RadioGroup1;
    QCheckBox* CheckBox6;  // "switch x <=> y axes"
    QPushButton* Button2;  // "Copy => Clipboard"
    QLabel* Label1;        // read-out
    QLabel* Label2;        // contour lines
    QLabel* Label3;        // colours

    bool Orientation() const { return orientation_; }
    bool Logarithm() const { return logarithm_; }
    const TEEMGrid& Grid() const { return grid_; }

    void FormCreate(double plotXMin, double plotXMax);
    void CheckBox1Click();
    void RxSlider1Change();
    void RxSlider2Change();
    void CheckBox3Click();
    void Edit1Change();
    void Edit2Change();
    void CheckBox4Click();
    void CheckBox5Click();
    void RadioGroup1Click();
    void CheckBox6Click();
    void PColor1MouseMove(QMouseEvent* event);
    void Button2Click();

private:
    void ShowGrid(const TEEMGrid& g);
    void ShowLimits();
    void Titles();
    void SetLogarithmBox(bool on);
    // The values the map shows without logarithm: the grid, transposed while the axes are swapped.
    const TEEMGrid& LinearGrid() const { return orientation_ ? grid_ : swapped_; }

    TEEMGrid grid_;     // as built (x: excitation)
    TEEMGrid swapped_;  // its transposed copy while the axes are swapped
    bool orientation_ = true;
    bool logarithm_ = false;
    bool built_ = false;
};
