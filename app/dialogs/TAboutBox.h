#pragma once
// The about box: name, version and notice, the licence and credits windows, and a hidden colour and
// tone sweep.
#include <QDialog>

#include <cstdint>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

// What the colour and tone sweep plays with: the colour of a wavelength in nm (0x00BBGGRR) and a tone
// (Hz, ms). The program passes the colour table and the tone player; without them the sweep is grey
// and silent.
struct TAboutSweep {
    std::function<uint32_t(double nm)> WavelengthColor;
    std::function<void(int hz, int ms)> Tone;
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr, TAboutSweep sweep = {});

    QFrame* Panel1;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;
    QLabel* Comments;
    QLabel* Label7;
    QLabel* EggLabel;
    QPushButton* OKButton;
    QPushButton* LizenzInfoButton;
    QPushButton* CreditButton;

    void LizenzInfoButtonClick();
    void CreditButtonClick();
    void Label7Click();
    void StartEasterEgg();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setColours(uint32_t window, uint32_t panel);

    TAboutSweep sweep_;
};
