#pragma once
// The axes dialog ("Axes Display Options"): display x unit and y mode, exact x boundaries and the axis
// titles. It works on a copy of the settings: a type change converts the drawn range at once within
// that copy, OK takes the controls over, and Cancel leaves the caller's settings as they were.
#include <QDialog>

#include "tools/axes_settings.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

class TAchsDia : public QDialog {
    Q_OBJECT
public:
    explicit TAchsDia(QWidget* parent = nullptr);

    // Fills the controls from the settings (the snapshot that Cancel returns to).
    void FormActivate(const axes::AxesSettings& settings);
    // The settings as edited: after OK the result, after Cancel the snapshot.
    const axes::AxesSettings& Settings() const { return settings_; }

    void XAchseClick(int item);
    void XAnfangClick();
    void XEndeClick();
    void CXGrenzenClick();
    void CXAndersClick();
    void CYAndersClick();
    void OKBtnClick();
    void HelpBtnClick();

    int XAchseItem() const;
    int YAchsentypItem() const;

protected:
    void reject() override;

private:
    void showBounds(bool afterTypeChange);
    void boundEditLeft(bool isFrom);
    static void enableEdit(QLineEdit* edit, bool on, bool silverWhenOff);

    axes::AxesSettings snapshot_;
    axes::AxesSettings settings_;
    SpecXUnit currentUnit_ = SpecXNanometer;
    bool filling_ = false;

    QGroupBox* XAchseGroup = nullptr;
    QRadioButton* xItems_[4] = {};
    QCheckBox* CXschrift = nullptr;
    QCheckBox* CXZwei = nullptr;
    QGroupBox* XGrenzBox = nullptr;
    QLineEdit* XAnfang = nullptr;
    QLineEdit* XEnde = nullptr;
    QCheckBox* CXGrenzen = nullptr;
    QCheckBox* CXAnders = nullptr;
    QLineEdit* EditXSchrift = nullptr;
    QGroupBox* YAchsentyp = nullptr;
    QRadioButton* yItems_[4] = {};
    QCheckBox* CYSchrift = nullptr;
    QCheckBox* CYAnders = nullptr;
    QLineEdit* EditYSchrift = nullptr;
};
