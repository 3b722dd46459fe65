#include "app/dialogs/TOptionsDia.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/aux_curves.h"
#include "app/dialogs/help_ok_cancel_row.h"
#include "app/dialogs/tool_dialog.h"
#include "app/qt_ui_backend.h"
#include "core/helpers.h"
#include "core/settings_globals.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

using options::StoredOptions;

struct NamedColor {
    const char* name;
    uint32_t value;  // 0x00BBGGRR
};
const NamedColor kColors[] = {
    {"White", 0xFFFFFF},  {"Cream", 0xF0FBFF},  {"Silver", 0xC0C0C0},  {"Money Green", 0xC0DCC0},
    {"Sky Blue", 0xF0CAA6}, {"Gray", 0x808080}, {"Black", 0x000000},   {"Yellow", 0x00FFFF},
    {"Aqua", 0xFFFF00},   {"Lime", 0x00FF00},   {"Fuchsia", 0xFF00FF}, {"Red", 0x0000FF},
    {"Blue", 0xFF0000},   {"Green", 0x008000},  {"Navy", 0x800000},    {"Maroon", 0x000080},
    {"Olive", 0x008080},  {"Purple", 0x800080}, {"Teal", 0x808000},
};

QColor toQColor(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

void setColorItem(QComboBox* box, uint32_t color) {
    int i = box->findData(QVariant::fromValue<uint>(color));
    if (i < 0) {
        QPixmap swatch(16, 16);
        swatch.fill(toQColor(color));
        box->addItem(QIcon(swatch), QString("Custom $%1").arg(color, 8, 16, QChar('0')).toUpper(),
                     QVariant::fromValue<uint>(color));
        i = box->count() - 1;
    }
    box->setCurrentIndex(i);
}


// The control name of a stored value ("OGitter.Checked" -> "OGitter") and its property.
std::pair<QString, QString> splitName(const char* name) {
    QString n = QString::fromLatin1(name);
    int dot = n.indexOf('.');
    return {n.left(dot), n.mid(dot + 1)};
}

QStringList toList(const std::vector<std::string>& v) {
    QStringList l;
    for (const auto& x : v) l << Q(x);
    return l;
}

QCheckBox* check(QWidget* page, QFormLayout* f, const char* name, const QString& caption) {
    auto* c = new QCheckBox(caption, page);
    c->setObjectName(name);
    f->addRow(c);
    return c;
}

QComboBox* items(QWidget* page, QFormLayout* f, const char* name, const QString& caption,
                 const QStringList& list) {
    auto* c = new QComboBox(page);
    c->setObjectName(name);
    c->addItems(list);
    f->addRow(caption, c);
    return c;
}

QSpinBox* spin(QWidget* page, QFormLayout* f, const char* name, const QString& caption, int lo, int hi) {
    auto* sp = new QSpinBox(page);
    sp->setObjectName(name);
    sp->setRange(lo, hi);
    f->addRow(caption, sp);
    return sp;
}

QSlider* slider(QWidget* page, QFormLayout* f, const char* name, const QString& caption, int lo, int hi,
                int step) {
    auto* row = new QWidget(page);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    auto* sl = new QSlider(Qt::Horizontal, row);
    sl->setObjectName(name);
    sl->setRange(lo, hi);
    sl->setSingleStep(step);
    sl->setPageStep(step);
    sl->setTickPosition(QSlider::TicksBelow);
    sl->setTickInterval(step);
    auto* value = new QLabel(QString::number(lo), row);
    value->setObjectName(QString(name) + "Value");
    value->setMinimumWidth(24);
    QObject::connect(sl, &QSlider::valueChanged, value, [value](int v) { value->setNum(v); });
    h->addWidget(sl, 1);
    h->addWidget(value);
    f->addRow(caption, row);
    return sl;
}

QComboBox* fontBox(QWidget* page, QFormLayout* f, const char* name, const QString& caption) {
    auto* c = new QComboBox(page);
    c->setObjectName(name);
    c->setEditable(true);
    QStringList families = QFontDatabase::families();
    if (!families.contains("Arial")) families.prepend("Arial");
    c->addItems(families);
    f->addRow(caption, c);
    return c;
}

// One form row: `field` and a "..." button named after it ("<name>Browse"); returns the button.
QPushButton* browseRow(QWidget* page, QFormLayout* f, const char* name, const QString& caption, QWidget* field) {
    auto* row = new QWidget(page);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    field->setParent(row);
    field->setObjectName(name);
    auto* b = new QPushButton("...", row);
    b->setObjectName(QString(name) + "Browse");
    b->setFixedWidth(30);
    h->addWidget(field);
    h->addWidget(b);
    f->addRow(caption, row);
    return b;
}

// A file-name edit with its history and a browse button.
QComboBox* fileBox(QWidget* page, QFormLayout* f, const char* name, const QString& caption) {
    auto* c = new QComboBox(page);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QPushButton* b = browseRow(page, f, name, caption, c);
    QObject::connect(b, &QPushButton::clicked, c, [c] {
        const QString file = QString::fromStdString(OpenCurveFileDialog(c, "", c->currentText().toStdString(), kLampDialogFilter));
        if (file.isEmpty()) return;
        if (c->findText(file) < 0) c->insertItem(0, file);
        c->setCurrentText(file);
    });
    return c;
}

QLineEdit* folderEdit(QWidget* page, QFormLayout* f, const char* name, const QString& caption) {
    auto* e = new QLineEdit(page);
    QPushButton* b = browseRow(page, f, name, caption, e);
    QObject::connect(b, &QPushButton::clicked, e, [e] {
        QString dir = QFileDialog::getExistingDirectory(e, QString(), e->text());
        if (!dir.isEmpty()) e->setText(dir.endsWith('/') ? dir : dir + '/');
    });
    return e;
}

}  // namespace

TOptionsDia::TOptionsDia(QWidget* parent) : QDialog(parent) {
    setObjectName("OptionsDia");
    setWindowTitle("Configuration:");
    auto* outer = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    tree_ = new QTreeWidget(this);
    tree_->setObjectName("TreeView1");
    tree_->setHeaderHidden(true);
    tree_->setFixedWidth(170);
    pages_ = new QStackedWidget(this);
    pages_->setObjectName("PageControl1");
    body->addWidget(tree_);
    body->addWidget(pages_, 1);
    outer->addLayout(body, 1);

    const HelpOkCancelButtons buttons = AddHelpOkCancelRow(this, outer);
    connect(buttons.ok, &QPushButton::clicked, this, &TOptionsDia::OKBtnClick);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(buttons.help, &QPushButton::clicked, this, &TOptionsDia::HelpBtnClick);

    buildPages();
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!item) return;
        pages_->setCurrentIndex(item->data(0, Qt::UserRole).toInt());
    });
    RestoreControls(StoredOptions{});
    resize(640, 440);
}

QWidget* TOptionsDia::addPage(const QString& title, QTreeWidgetItem* parentNode, bool groupNode) {
    auto* node = parentNode ? new QTreeWidgetItem(parentNode, QStringList{title})
                            : new QTreeWidgetItem(tree_, QStringList{title});
    if (groupNode) {
        // The group nodes share one page.
        if (!groupPage_) {
            groupPage_ = new QWidget(pages_);
            groupPage_->setObjectName("GroupPage");
            auto* l = new QVBoxLayout(groupPage_);
            auto* label = new QLabel("Choose a page of this group on the left.", groupPage_);
            label->setWordWrap(true);
            l->addWidget(label);
            l->addStretch(1);
            pages_->addWidget(groupPage_);
        }
        node->setData(0, Qt::UserRole, pages_->indexOf(groupPage_));
        return groupPage_;
    }
    auto* page = new QWidget(pages_);
    auto* box = new QGroupBox(title, page);
    auto* l = new QVBoxLayout(page);
    l->addWidget(box);
    l->addStretch(1);
    new QFormLayout(box);
    pages_->addWidget(page);
    node->setData(0, Qt::UserRole, pages_->indexOf(page));
    return box;
}

void TOptionsDia::buildPages() {
    auto form = [](QWidget* box) { return static_cast<QFormLayout*>(box->layout()); };

    QWidget* p = addPage("General", nullptr);
    QFormLayout* f = form(p);
    check(p, f, "OMaximiert", "Start maximized");
    check(p, f, "OMultipleInstances", "allow multiple instances of Varolux32");

    QWidget* plotGroup = addPage("Plot", nullptr, true);
    (void)plotGroup;
    QTreeWidgetItem* plotNode = tree_->topLevelItem(1);

    p = addPage("Layout", plotNode);
    f = form(p);
    check(p, f, "OGitter", "Show Grid");
    check(p, f, "OLegende", "Show Legend");
    auto* bg = new QComboBox(p);
    bg->setObjectName("OHintergrund");
    for (const auto& c : kColors) {
        QPixmap swatch(16, 16);
        swatch.fill(toQColor(c.value));
        bg->addItem(QIcon(swatch), c.name, QVariant::fromValue<uint>(c.value));
    }
    auto* bgRow = new QWidget(p);
    auto* bgLay = new QHBoxLayout(bgRow);
    bgLay->setContentsMargins(0, 0, 0, 0);
    bg->setParent(bgRow);
    auto* bgMore = new QPushButton("...", bgRow);
    bgMore->setObjectName("OHintergrundBrowse");
    bgMore->setFixedWidth(30);
    connect(bgMore, &QPushButton::clicked, bg, [bg] {
        const QColor c = QColorDialog::getColor(toQColor(bg->currentData().toUInt()), bg);
        if (c.isValid())
            setColorItem(bg, static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
                                 (static_cast<uint32_t>(c.blue()) << 16));
    });
    bgLay->addWidget(bg, 1);
    bgLay->addWidget(bgMore);
    f->addRow("Background Colour", bgRow);

    p = addPage("Spectra", plotNode);
    f = form(p);
    items(p, f, "OLinien", "Spectra as Lines/Points", {"lines", "points"});
    slider(p, f, "RxSlider1", "Line Width", 1, 7, 1);
    check(p, f, "OSchwarz", "All Black");
    check(p, f, "OLinienarten", "Line Types");
    AddEditRow(p, f, "OSchichtdicke", "Absorption Path Length [cm]");

    p = addPage("Axes", plotNode);
    f = form(p);
    auto* axFont = fontBox(p, f, "OAchsenfont", "Axes Font");
    auto* axSize = spin(p, f, "OAchsenfontSize", "Size", 3, 25);
    axesPreview_ = new QLabel("AaBbYyZz 0123", p);
    axesPreview_->setObjectName("OAchsenfontPreview");
    f->addRow(axesPreview_);
    auto* lgFont = fontBox(p, f, "OLegendefont", "Legend Font");
    auto* lgSize = spin(p, f, "OLegendefontSize", "Size", 3, 25);
    legendPreview_ = new QLabel("AaBbYyZz 0123", p);
    legendPreview_->setObjectName("OLegendefontPreview");
    f->addRow(legendPreview_);
    connect(axFont, &QComboBox::currentTextChanged, this, &TOptionsDia::updatePreviews);
    connect(lgFont, &QComboBox::currentTextChanged, this, &TOptionsDia::updatePreviews);
    connect(axSize, &QSpinBox::valueChanged, this, &TOptionsDia::updatePreviews);
    connect(lgSize, &QSpinBox::valueChanged, this, &TOptionsDia::updatePreviews);

    p = addPage("X-Axis", plotNode);
    f = form(p);
    check(p, f, "OXBeschriftung", "Axis Title");
    check(p, f, "OXZweiterTick", "each second Tick labeled");
    auto* xOther = check(p, f, "OXAndereBeschriftung", "other Axis Title");
    AddEditRow(p, f, "OXAndererText", "");
    check(p, f, "OZweiteXAchse", "show secondary X-Axis");

    p = addPage("Y-Axis", plotNode);
    f = form(p);
    check(p, f, "OYBeschriftung", "Axis Title");
    auto* yOther = check(p, f, "OYAndereBeschriftung", "other Axis Title");
    AddEditRow(p, f, "OYAndererText", "");
    connect(xOther, &QCheckBox::toggled, this, &TOptionsDia::updateTitleEdits);
    connect(yOther, &QCheckBox::toggled, this, &TOptionsDia::updateTitleEdits);

    addPage("Files", nullptr, true);
    QTreeWidgetItem* filesNode = tree_->topLevelItem(2);

    p = addPage("Open / Save Folders", filesNode);
    f = form(p);
    folderEdit(p, f, "OOEffnenPfad", "Open Folder");
    folderEdit(p, f, "OSpeichernPfad", "Save Folder");
    items(p, f, "OASCIISchrittweite", "Stepwidth of X Axis Values",
          {"fixed (1nm , 1/cm)", "variable (smallest)", "variable (biggest)"});

    p = addPage("Gnuplot", filesNode);
    f = form(p);
    AddEditRow(p, f, "OGnuplotTitel", "Title");
    items(p, f, "OGnuplotLegendeposition", "Position of Legend",
          {"left top", "left bottom", "right top", "right bottom"});
    items(p, f, "OGnuplotPSOutput", "PostScript Output", {"black&white", "coloured"});
    auto* memo = new QPlainTextEdit(p);
    memo->setObjectName("OGnuplotBefehlliste");
    f->addRow("Commands", memo);

    p = addPage("Misc", filesNode);
    f = form(p);
    fileBox(p, f, "OKorrekturspektrum", "Correction Spectrum");
    fileBox(p, f, "OLampenspektrum", "Lamp Spectrum");

    addPage("Calculations", nullptr, true);
    QTreeWidgetItem* calcNode = tree_->topLevelItem(3);

    p = addPage("Spike Removal", calcNode);
    f = form(p);
    check(p, f, "OSpikeOriginalLoeschen", "Delete Original");
    check(p, f, "OSpikeAlle", "Treat all Spectra");
    check(p, f, "OSpikeRueckwaerts", "Backward Spike Removal");
    check(p, f, "OSpikeZusatz", "append \"spikes removed\" to legend");
    slider(p, f, "OSpikeSchranke", "Threshold", 30, 80, 2);

    p = addPage("Cut Off", calcNode);
    f = form(p);
    check(p, f, "OSchneidOriginalLoeschen", "Delete Original(s)");
    check(p, f, "OSchneidZusatz", "append \"partial spectrum\" to legend");
    AddEditRow(p, f, "OSchneidVon", "from:");
    AddEditRow(p, f, "OSchneidBis", "to:");

    p = addPage("Y Constants", calcNode);
    f = form(p);
    check(p, f, "OYKonstLoesch", "Delete Original");
    check(p, f, "OYKonstZusatz", "append operation to legend");
    items(p, f, "OYKonstRechenart", "calculation type", {"+", "-", "\u00D7", "\u00F7"});
    AddEditRow(p, f, "OYKonstKonstante", "constant");

    p = addPage("Quantum Yield", calcNode);
    f = form(p);
    AddEditRow(p, f, "OFQInnererFilter", "inner filter [cm]");
    AddEditRow(p, f, "OFQMesslaenge", "path length [cm]");
    AddEditRow(p, f, "OFQRefFQ", "QY of reference [%]");
    AddEditRow(p, f, "OFQRefN", "refractive index reference");
    AddEditRow(p, f, "OFQProbeN", "refractive index sample");
    AddEditRow(p, f, "OFQBandbreite", "band width [nm]");
    AddEditRow(p, f, "OFQvRefInt", "reference integration from");
    AddEditRow(p, f, "OFQbRefInt", "reference integration to");
    AddEditRow(p, f, "OFQvProbeInt", "sample integration from");
    AddEditRow(p, f, "OFQbProbeInt", "sample integration to");
    AddEditRow(p, f, "OFQRefAnr", "reference excitation [nm]");
    AddEditRow(p, f, "OFQRefBel", "reference Bel");
    AddEditRow(p, f, "OFQProbeAnr", "sample excitation [nm]");
    AddEditRow(p, f, "OFQProbeBel", "sample Bel");
}

void TOptionsDia::RestoreControls(const StoredOptions& o) {
    for (const auto& field : options::OptionFields()) {
        auto [control, property] = splitName(field.name);
        QWidget* w = findChild<QWidget*>(control);
        if (!w) continue;
        std::visit(
            [&](auto m) {
                using M = decltype(m);
                const auto& v = o.*m;
                if constexpr (std::is_same_v<M, bool StoredOptions::*>) {
                    static_cast<QCheckBox*>(w)->setChecked(v);
                } else if constexpr (std::is_same_v<M, int32_t StoredOptions::*>) {
                    if (auto* c = qobject_cast<QComboBox*>(w)) c->setCurrentIndex(v);
                    else if (auto* sl = qobject_cast<QSlider*>(w)) sl->setValue(v);
                    else if (auto* sp = qobject_cast<QSpinBox*>(w)) sp->setValue(v);
                } else if constexpr (std::is_same_v<M, uint32_t StoredOptions::*>) {
                    setColorItem(static_cast<QComboBox*>(w), v);
                } else if constexpr (std::is_same_v<M, std::string StoredOptions::*>) {
                    if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(Q(v));
                    else if (auto* c = qobject_cast<QComboBox*>(w)) c->setCurrentText(Q(v));
                } else {
                    if (auto* c = qobject_cast<QComboBox*>(w)) {
                        const QString current = c->currentText();
                        c->clear();
                        c->addItems(toList(v));
                        c->setCurrentText(current);
                    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
                        memo->setPlainText(toList(v).join('\n'));
                    }
                }
            },
            field.member);
    }
    // The history is restored after the file name above; put the name back on top.
    for (const auto& field : options::OptionFields()) {
        auto [control, property] = splitName(field.name);
        if (property != "FileName") continue;
        if (auto* c = findChild<QComboBox*>(control))
            c->setCurrentText(Q(o.*std::get<std::string StoredOptions::*>(field.member)));
    }
    updatePreviews();
    updateTitleEdits();
}

StoredOptions TOptionsDia::StoredControls() const {
    StoredOptions o;
    for (const auto& field : options::OptionFields()) {
        auto [control, property] = splitName(field.name);
        QWidget* w = findChild<QWidget*>(control);
        if (!w) continue;
        std::visit(
            [&](auto m) {
                using M = decltype(m);
                auto& v = o.*m;
                if constexpr (std::is_same_v<M, bool StoredOptions::*>) {
                    v = static_cast<QCheckBox*>(w)->isChecked();
                } else if constexpr (std::is_same_v<M, int32_t StoredOptions::*>) {
                    if (auto* c = qobject_cast<QComboBox*>(w)) v = c->currentIndex();
                    else if (auto* sl = qobject_cast<QSlider*>(w)) v = sl->value();
                    else if (auto* sp = qobject_cast<QSpinBox*>(w)) v = sp->value();
                } else if constexpr (std::is_same_v<M, uint32_t StoredOptions::*>) {
                    v = static_cast<QComboBox*>(w)->currentData().toUInt();
                } else if constexpr (std::is_same_v<M, std::string StoredOptions::*>) {
                    if (auto* e = qobject_cast<QLineEdit*>(w)) v = S(e->text());
                    else if (auto* c = qobject_cast<QComboBox*>(w)) v = S(c->currentText());
                } else {
                    v.clear();
                    if (auto* c = qobject_cast<QComboBox*>(w)) {
                        for (int i = 0; i < c->count(); ++i) v.push_back(S(c->itemText(i)));
                    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
                        const QString text = memo->toPlainText();
                        if (!text.isEmpty())
                            for (const QString& line : text.split('\n')) v.push_back(S(line));
                    }
                }
            },
            field.member);
    }
    return o;
}

void TOptionsDia::FormActivate() {
    auto loaded = options::LoadStoredOptions();
    RestoreControls(loaded.options);
    pathLengthAtActivation_ = loaded.options.OSchichtdicke;
    tree_->expandAll();
    tree_->setCurrentItem(tree_->topLevelItem(0));
}

bool TOptionsDia::PathLengthChanged() const {
    return StoredControls().OSchichtdicke != pathLengthAtActivation_;
}

void TOptionsDia::OKBtnClick() {
    const char sep = numtext::decimalSeparator();
    StoredOptions o = StoredControls();
    try {
        options::ValidateNumberFields(o, sep);
    } catch (const vx::ConversionError& e) {
        ShowErrorBox(e.what());
        return;  // nothing saved, the dialog stays open
    }
    const bool pathChanged = PathLengthChanged();
    // Stored as typed: each start prepares the texts for the separator then in use.
    if (!options::SaveStoredOptions(o))
        ShowErrorBox("The options could not be saved.");
    // Applying writes the prepared number texts back into their fields.
    o = options::WithPreparedTexts(o, sep);
    RestoreControls(o);
    if (ApplyHandler) ApplyHandler(o, pathChanged);
    accept();
}

void TOptionsDia::HelpBtnClick() {
    const std::string page =
        ProgramFolder + "html/varolux_man_opt_en.html";
    if (!OpenHtmlPage(page)) ui::messageBox("Help files could not be opened!");
}

void TOptionsDia::updatePreviews() {
    auto apply = [this](QLabel* label, const char* fontName, const char* sizeName) {
        auto* name = findChild<QComboBox*>(fontName);
        auto* size = findChild<QSpinBox*>(sizeName);
        if (!label || !name || !size) return;
        QFont font(name->currentText());
        font.setPointSize(size->value());
        label->setFont(font);
    };
    apply(axesPreview_, "OAchsenfont", "OAchsenfontSize");
    apply(legendPreview_, "OLegendefont", "OLegendefontSize");
}

void TOptionsDia::updateTitleEdits() {
    auto apply = [this](const char* checkName, const char* editName) {
        auto* c = findChild<QCheckBox*>(checkName);
        auto* e = findChild<QLineEdit*>(editName);
        if (c && e) e->setEnabled(c->isChecked());
    };
    apply("OXAndereBeschriftung", "OXAndererText");
    apply("OYAndereBeschriftung", "OYAndererText");
}
