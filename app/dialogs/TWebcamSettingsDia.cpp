#include "app/dialogs/TWebcamSettingsDia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/errors.h"
#include "platform/frame_source.h"
#include "platform/ui.h"

TWebcamSettingsDia::TWebcamSettingsDia(TFrameSource& source, QWidget* parent) : QDialog(parent), source_(source) {
    setObjectName("WebcamSettingsDia");
    setWindowTitle("Webcam Settings");
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(new QLabel(QString::fromStdString(source.Name()), this));
    auto* form = new QFormLayout;
    lay->addLayout(form);
    std::vector<TCameraControl> controls;
    try {
        controls = source.Controls();
    } catch (const vx::Error& e) {
        ui::showMessage(e.what());
    }
    for (const TCameraControl& c : controls) {
        const QString name = QString("Control%1").arg(c.Id);
        const QString caption = QString::fromStdString(c.Name);
        const uint32_t id = c.Id;
        switch (c.Type) {
        case TCameraControl::TType::Integer: {
            auto* row = new QWidget(this);
            auto* h = new QHBoxLayout(row);
            h->setContentsMargins(0, 0, 0, 0);
            auto* slider = new QSlider(Qt::Horizontal, row);
            auto* spin = new QSpinBox(row);
            spin->setObjectName(name);
            slider->setRange(c.Minimum, c.Maximum);
            slider->setSingleStep(c.Step);
            spin->setRange(c.Minimum, c.Maximum);
            spin->setSingleStep(c.Step);
            slider->setValue(c.Value);
            spin->setValue(c.Value);
            connect(slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
            connect(spin, &QSpinBox::valueChanged, slider, &QSlider::setValue);
            connect(spin, &QSpinBox::valueChanged, this, [this, id](int v) { apply(id, v); });
            h->addWidget(slider, 1);
            h->addWidget(spin);
            form->addRow(caption, row);
            break;
        }
        case TCameraControl::TType::Boolean: {
            auto* box = new QCheckBox(this);
            box->setObjectName(name);
            box->setChecked(c.Value != 0);
            connect(box, &QCheckBox::toggled, this, [this, id](bool on) { apply(id, on ? 1 : 0); });
            form->addRow(caption, box);
            break;
        }
        case TCameraControl::TType::Menu: {
            auto* combo = new QComboBox(this);
            combo->setObjectName(name);
            for (const auto& [value, text] : c.MenuItems) {
                combo->addItem(QString::fromStdString(text), value);
                if (value == c.Value) combo->setCurrentIndex(combo->count() - 1);
            }
            connect(combo, &QComboBox::currentIndexChanged, this,
                    [this, id, combo](int i) { apply(id, combo->itemData(i).toInt()); });
            form->addRow(caption, combo);
            break;
        }
        case TCameraControl::TType::Button: {
            auto* b = new QPushButton(caption, this);
            b->setObjectName(name);
            connect(b, &QPushButton::clicked, this, [this, id] { apply(id, 1); });
            form->addRow(QString(), b);
            break;
        }
        }
        ++count_;
    }
    if (count_ == 0) lay->addWidget(new QLabel("This source has no settings.", this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName("OKBtn");
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
    lay->addWidget(buttons);
}

void TWebcamSettingsDia::apply(uint32_t id, int32_t value) {
    try {
        source_.SetControl(id, value);
    } catch (const vx::Error& e) {
        ui::showMessage(e.what());
    }
}
