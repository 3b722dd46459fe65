#pragma once
// "Webcam Settings": the settings the connected source offers (for a camera its V4L2 controls), each
// applied as soon as it is changed.
#include <QDialog>

class TFrameSource;

class TWebcamSettingsDia : public QDialog {
    Q_OBJECT
public:
    TWebcamSettingsDia(TFrameSource& source, QWidget* parent = nullptr);
    // How many settings are shown.
    int ControlCount() const { return count_; }

private:
    void apply(uint32_t id, int32_t value);
    TFrameSource& source_;
    int count_ = 0;
};
