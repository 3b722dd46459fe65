#include "app/dialogs/TOptionsDia.h"

#include <QCheckBox>
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
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "core/helpers.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "tools/dialog_support.h"

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

// Calls fn(control, member) for every stored option whose control the dialog holds, the member a
// pointer to the option's field in StoredOptions.
template <typename Fn>
void forEachOptionControl(const QObject& dialog, Fn&& fn) {
    for (const auto& field : options::OptionFields()) {
        QWidget* w = dialog.findChild<QWidget*>(splitName(field.name).first);
        if (!w) continue;
        std::visit([&](auto m) { fn(w, m); }, field.member);
    }
}

QStringList toList(const std::vector<std::string>& v) {
    QStringList l;
    for (const auto& x : v) l << Q(x);
    return l;
}

QSpinBox* spin(QWidget* page, QFormLayout* f, const char* name, const QString& caption, int lo, int hi) {
    auto* sp = new QSpinBox(page);
    sp->setObjectName(name);
    sp->setRange(lo, hi);
    f->addRow(caption, sp);
    return sp;
}

// A slider in steps of `step`, its value shown beside it ("<name>Value").
QSlider* slider(QWidget* page, QFormLayout* f, const char* name, const QString& caption, int lo, int hi,
                int step) {
    QSlider* sl = AddSliderRow(page, f, name, caption, lo, hi, 24, (std::string(name) + "Value").c_str());
    sl->setSingleStep(step);
    sl->setPageStep(step);
    sl->setTickPosition(QSlider::TicksBelow);
    sl->setTickInterval(step);
    return sl;
}

QComboBox* fontBox(QWidget* page, QFormLayout* f, const char* name, const QString& caption) {
    auto* c = NewCombo(page, name);
    c->setEditable(true);
    QStringList families = QFontDatabase::families();
    if (!families.contains("Arial")) families.prepend("Arial");
    c->addItems(families);
    f->addRow(caption, c);
    return c;
}

// One form row: `field` named `name` and a "..." button named after it ("<name>Browse"); returns the
// button.
QPushButton* browseRow(QWidget* page, QFormLayout* f, const char* name, const QString& caption, QWidget* field) {
    field->setObjectName(name);
    auto* b = new QPushButton("...", page);
    b->setObjectName(QString(name) + "Browse");
    b->setFixedWidth(30);
    AddPairRow(page, f, caption, field, b);
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

// The colour list with its swatches and a "..." button for a colour of one's own.
void colourRow(QWidget* page, QFormLayout* f, const char* name, const QString& caption) {
    auto* box = new QComboBox(page);
    for (const auto& c : kColors) {
        QPixmap swatch(16, 16);
        swatch.fill(toQColor(c.value));
        box->addItem(QIcon(swatch), c.name, QVariant::fromValue<uint>(c.value));
    }
    QPushButton* more = browseRow(page, f, name, caption, box);
    QObject::connect(more, &QPushButton::clicked, box, [box] {
        if (const std::optional<uint32_t> c = ChooseColor(box, box->currentData().toUInt())) setColorItem(box, *c);
    });
}

// The rows of the pages, in page order: each a stored option's control by its object name.
struct OptionRow {
    enum class Kind { Check, Edit, Items, Slider, Folder, File, Memo };
    Kind kind;
    const char* name;
    const char* caption;
    QStringList items = {};            // Items: the list
    int lo = 0, hi = 0, step = 0;      // Slider: range and step
};

void addRows(QWidget* page, std::initializer_list<OptionRow> rows) {
    auto* f = static_cast<QFormLayout*>(page->layout());
    using K = OptionRow::Kind;
    for (const OptionRow& r : rows) {
        switch (r.kind) {
        case K::Check: f->addRow(NewCheck(page, r.name, r.caption, false)); break;
        case K::Edit: AddEditRow(page, f, r.name, r.caption); break;
        case K::Items: {
            QComboBox* c = NewCombo(page, r.name);
            c->addItems(r.items);
            f->addRow(r.caption, c);
            break;
        }
        case K::Slider: slider(page, f, r.name, r.caption, r.lo, r.hi, r.step); break;
        case K::Folder: folderEdit(page, f, r.name, r.caption); break;
        case K::File: fileBox(page, f, r.name, r.caption); break;
        case K::Memo: {
            auto* memo = new QPlainTextEdit(page);
            memo->setObjectName(r.name);
            f->addRow(r.caption, memo);
            break;
        }
        }
    }
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
    using K = OptionRow::Kind;
    addRows(addPage("General", nullptr), {{K::Check, "OMaximiert", "Start maximized"},
                                          {K::Check, "OMultipleInstances", "allow multiple instances of Varolux32"}});

    addPage("Plot", nullptr, true);
    QTreeWidgetItem* plotNode = tree_->topLevelItem(1);

    QWidget* p = addPage("Layout", plotNode);
    addRows(p, {{K::Check, "OGitter", "Show Grid"}, {K::Check, "OLegende", "Show Legend"}});
    colourRow(p, static_cast<QFormLayout*>(p->layout()), "OHintergrund", "Background Colour");

    addRows(addPage("Spectra", plotNode), {{K::Items, "OLinien", "Spectra as Lines/Points", {"lines", "points"}},
                                           {K::Slider, "RxSlider1", "Line Width", {}, 1, 7, 1},
                                           {K::Check, "OSchwarz", "All Black"},
                                           {K::Check, "OLinienarten", "Line Types"},
                                           {K::Edit, "OSchichtdicke", "Absorption Path Length [cm]"}});

    // Font, size and a sample of each, the sample following both.
    p = addPage("Axes", plotNode);
    auto fontRows = [this, p](const char* name, const QString& caption) {
        auto* f = static_cast<QFormLayout*>(p->layout());
        const std::string base(name);
        QComboBox* font = fontBox(p, f, name, caption);
        QSpinBox* size = spin(p, f, (base + "Size").c_str(), "Size", 3, 25);
        QLabel* preview = NewLabel(p, (base + "Preview").c_str(), "AaBbYyZz 0123");
        f->addRow(preview);
        connect(font, &QComboBox::currentTextChanged, this, &TOptionsDia::updatePreviews);
        connect(size, &QSpinBox::valueChanged, this, &TOptionsDia::updatePreviews);
        return preview;
    };
    axesPreview_ = fontRows("OAchsenfont", "Axes Font");
    legendPreview_ = fontRows("OLegendefont", "Legend Font");

    addRows(addPage("X-Axis", plotNode), {{K::Check, "OXBeschriftung", "Axis Title"},
                                          {K::Check, "OXZweiterTick", "each second Tick labeled"},
                                          {K::Check, "OXAndereBeschriftung", "other Axis Title"},
                                          {K::Edit, "OXAndererText", ""},
                                          {K::Check, "OZweiteXAchse", "show secondary X-Axis"}});
    addRows(addPage("Y-Axis", plotNode), {{K::Check, "OYBeschriftung", "Axis Title"},
                                          {K::Check, "OYAndereBeschriftung", "other Axis Title"},
                                          {K::Edit, "OYAndererText", ""}});
    for (const char* other : {"OXAndereBeschriftung", "OYAndereBeschriftung"})
        connect(findChild<QCheckBox*>(other), &QCheckBox::toggled, this, &TOptionsDia::updateTitleEdits);

    addPage("Files", nullptr, true);
    QTreeWidgetItem* filesNode = tree_->topLevelItem(2);

    addRows(addPage("Open / Save Folders", filesNode),
            {{K::Folder, "OOEffnenPfad", "Open Folder"},
             {K::Folder, "OSpeichernPfad", "Save Folder"},
             {K::Items, "OASCIISchrittweite", "Stepwidth of X Axis Values",
              {"fixed (1nm , 1/cm)", "variable (smallest)", "variable (biggest)"}}});
    addRows(addPage("Gnuplot", filesNode),
            {{K::Edit, "OGnuplotTitel", "Title"},
             {K::Items, "OGnuplotLegendeposition", "Position of Legend",
              {"left top", "left bottom", "right top", "right bottom"}},
             {K::Items, "OGnuplotPSOutput", "PostScript Output", {"black&white", "coloured"}},
             {K::Memo, "OGnuplotBefehlliste", "Commands"}});
    addRows(addPage("Misc", filesNode), {{K::File, "OKorrekturspektrum", "Correction Spectrum"},
                                         {K::File, "OLampenspektrum", "Lamp Spectrum"}});

    addPage("Calculations", nullptr, true);
    QTreeWidgetItem* calcNode = tree_->topLevelItem(3);

    addRows(addPage("Spike Removal", calcNode), {{K::Check, "OSpikeOriginalLoeschen", "Delete Original"},
                                                 {K::Check, "OSpikeAlle", "Treat all Spectra"},
                                                 {K::Check, "OSpikeRueckwaerts", "Backward Spike Removal"},
                                                 {K::Check, "OSpikeZusatz", "append \"spikes removed\" to legend"},
                                                 {K::Slider, "OSpikeSchranke", "Threshold", {}, 30, 80, 2}});
    addRows(addPage("Cut Off", calcNode), {{K::Check, "OSchneidOriginalLoeschen", "Delete Original(s)"},
                                           {K::Check, "OSchneidZusatz", "append \"partial spectrum\" to legend"},
                                           {K::Edit, "OSchneidVon", "from:"},
                                           {K::Edit, "OSchneidBis", "to:"}});
    addRows(addPage("Y Constants", calcNode), {{K::Check, "OYKonstLoesch", "Delete Original"},
                                               {K::Check, "OYKonstZusatz", "append operation to legend"},
                                               {K::Items, "OYKonstRechenart", "calculation type", {"+", "-", "\u00D7", "\u00F7"}},
                                               {K::Edit, "OYKonstKonstante", "constant"}});
    addRows(addPage("Quantum Yield", calcNode), {{K::Edit, "OFQInnererFilter", "inner filter [cm]"},
                                                 {K::Edit, "OFQMesslaenge", "path length [cm]"},
                                                 {K::Edit, "OFQRefFQ", "QY of reference [%]"},
                                                 {K::Edit, "OFQRefN", "refractive index reference"},
                                                 {K::Edit, "OFQProbeN", "refractive index sample"},
                                                 {K::Edit, "OFQBandbreite", "band width [nm]"},
                                                 {K::Edit, "OFQvRefInt", "reference integration from"},
                                                 {K::Edit, "OFQbRefInt", "reference integration to"},
                                                 {K::Edit, "OFQvProbeInt", "sample integration from"},
                                                 {K::Edit, "OFQbProbeInt", "sample integration to"},
                                                 {K::Edit, "OFQRefAnr", "reference excitation [nm]"},
                                                 {K::Edit, "OFQRefBel", "reference Bel"},
                                                 {K::Edit, "OFQProbeAnr", "sample excitation [nm]"},
                                                 {K::Edit, "OFQProbeBel", "sample Bel"}});
}

void TOptionsDia::RestoreControls(const StoredOptions& o) {
    forEachOptionControl(*this, [&](QWidget* w, auto m) {
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
    });
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
    forEachOptionControl(*this, [&](QWidget* w, auto m) {
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
    });
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
    OpenDialogHelp(ProgramSettings.ProgramFolder, "html\\varolux_man_opt_en.html");
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
