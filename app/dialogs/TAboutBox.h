#pragma once
// The about box: name, version and notice, the licence and credits windows, and a hidden colour and
// tone sweep.
#include <QDialog>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    static constexpr const char* kWebPage = "https://varolux32.example.org/";

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

    // Colour of a wavelength (0x00BBGGRR) and a tone (Hz, ms) for the sweep; the app sets them.
    static std::function<uint32_t(double)> WavelengthColor;
    static std::function<void(int, int)> Tone;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setColours(uint32_t window, uint32_t panel);
};
