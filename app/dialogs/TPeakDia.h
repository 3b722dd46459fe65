#pragma once
// "Peaks": the peak table of one spectrum in the visible x range.
#include <limits>
#include <string>
#include <vector>

#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

class TPeakDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TPeakDia(QWidget* parent = nullptr);
    // The plot's visible x range (display units); unset: the whole spectrum.
    void SetVisibleRange(double lo, double hi);

    QComboBox* Spekbox;
    QCheckBox* InvertedPeaks;
    QSpinBox* LowerPeakThresholdEdit;
    QPlainTextEdit* Memo1;
    QPushButton* Button3;

    void MemoSchreiben();
    void BuildPeakTable();
    void Button3Click();

protected:
    void FormActivate() override;

private:
    std::vector<std::string> lines_;
    double lo_ = -std::numeric_limits<double>::infinity();
    double hi_ = std::numeric_limits<double>::infinity();
    bool filling_ = false;
};
