#include "shell/printing/margins_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <cmath>

namespace novrix::shell {

namespace {

constexpr std::array<MarginUnits, 4> kUnitOrder{MarginUnits::Millimetres, MarginUnits::Centimetres,
                                                MarginUnits::Inches, MarginUnits::ThousandthsOfInches};

struct FieldInfo {
    const char* name; // object name of the edit field
    const char* label;
};

constexpr std::array<FieldInfo, MarginsPage::kFieldCount> kFieldInfo{{
    {"Left", "Left:"},
    {"Right", "Right:"},
    {"Top", "Top:"},
    {"Bottom", "Bottom:"},
    {"Gutter", "Gutter:"},
    {"Header", "Header:"},
    {"Footer", "Footer:"},
    {"LeftHFTextIndent", "Left indent:"},
    {"RightHFTextIndent", "Right indent:"},
    {"HFInternalMargin", "Internal margin:"},
}};

// Screen order: the page margins in the first column, header and footer distances in the second.
constexpr std::array<MarginsPage::Field, MarginsPage::kFieldCount> kScreenOrder{
    MarginsPage::Field::Left,
    MarginsPage::Field::Right,
    MarginsPage::Field::Top,
    MarginsPage::Field::Bottom,
    MarginsPage::Field::Gutter,
    MarginsPage::Field::Header,
    MarginsPage::Field::Footer,
    MarginsPage::Field::HFInternalMargin,
    MarginsPage::Field::LeftHFTextIndent,
    MarginsPage::Field::RightHFTextIndent};

int unitIndex(MarginUnits units) {
    for (std::size_t i = 0; i < kUnitOrder.size(); ++i) {
        if (kUnitOrder[i] == units)
            return static_cast<int>(i);
    }
    return 0;
}

} // namespace

MarginsPage::MarginsPage(QWidget* parent) : QWidget(parent) {
    locale_.setNumberOptions(QLocale::OmitGroupSeparator);

    units_.setObjectName(QStringLiteral("CBUnits"));
    units_.addItems({QStringLiteral("mm"), QStringLiteral("cm"), QStringLiteral("Inches"),
                     QStringLiteral("Thousandths Of Inches")});

    auto* fieldsBox = new QGroupBox(QStringLiteral("Margins"), this);
    auto* grid = new QGridLayout(fieldsBox);
    grid->addWidget(new QLabel(QStringLiteral("Units:"), fieldsBox), 0, 0);
    grid->addWidget(&units_, 0, 1, 1, 2);
    for (std::size_t i = 0; i < kScreenOrder.size(); ++i) {
        const auto index = static_cast<std::size_t>(kScreenOrder[i]);
        const FieldInfo& info = kFieldInfo[index];
        QLineEdit& edit = fields_[index];
        edit.setObjectName(QString::fromLatin1(info.name));
        edit.setMaximumWidth(120);
        auto* label = new QLabel(QString::fromLatin1(info.label), fieldsBox);
        label->setBuddy(&edit);
        const int row = 1 + static_cast<int>(i % 5);
        const int column = i < 5 ? 0 : 2;
        grid->addWidget(label, row, column);
        grid->addWidget(&edit, row, column + 1);
    }

    auto* optionsBox = new QGroupBox(QStringLiteral("Options"), this);
    auto* options = new QVBoxLayout(optionsBox);
    for (QCheckBox* box :
         {&mirrorMargins_, &lineNumbers_, &lineNumbersInMargin_, &syntaxPrint_, &useColors_, &wrapLines_})
        options->addWidget(box);

    auto* left = new QVBoxLayout;
    left->addWidget(fieldsBox);
    left->addWidget(optionsBox);
    left->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(&illustration_, 0, Qt::AlignTop);

    connect(&units_, &QComboBox::currentIndexChanged, this, &MarginsPage::unitsChanged);
}

MarginUnits MarginsPage::selectedUnits() const {
    const int index = units_.currentIndex();
    return index >= 0 && index < static_cast<int>(kUnitOrder.size())
               ? kUnitOrder[static_cast<std::size_t>(index)]
               : MarginUnits::Millimetres;
}

QString MarginsPage::formatted(double millimetres, MarginUnits units) const {
    return locale_.toString(toUnits(millimetres, units), 'g', 15);
}

double& MarginsPage::marginOf(PageMargins& margins, Field which) {
    switch (which) {
    case Field::Left:
        return margins.left;
    case Field::Right:
        return margins.right;
    case Field::Top:
        return margins.top;
    case Field::Bottom:
        return margins.bottom;
    case Field::Gutter:
        return margins.gutter;
    case Field::Header:
        return margins.header;
    case Field::Footer:
        return margins.footer;
    case Field::LeftHFTextIndent:
        return margins.leftHFTextIndent;
    case Field::RightHFTextIndent:
        return margins.rightHFTextIndent;
    case Field::HFInternalMargin:
        return margins.hfInternalMargin;
    }
    return margins.left;
}

double MarginsPage::marginValue(const PageMargins& margins, Field which) {
    PageMargins copy = margins;
    return marginOf(copy, which);
}

std::optional<double> MarginsPage::fieldValue(Field which, MarginUnits units) const {
    const auto index = static_cast<std::size_t>(which);
    const QString text = fields_[index].text();
    if (units == shownUnits_ && text == shownTexts_[index])
        return marginValue(margins_, which);
    bool ok = false;
    const double value = QLocale().toDouble(text.trimmed(), &ok);
    // "inf" and "nan" parse but are no distance on paper.
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return toMillimetres(value, units);
}

void MarginsPage::showFields() {
    shownUnits_ = selectedUnits();
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        shownTexts_[i] = formatted(marginValue(margins_, static_cast<Field>(i)), shownUnits_);
        fields_[i].setText(shownTexts_[i]);
    }
}

void MarginsPage::unitsChanged() {
    // Read the fields in the unit they were shown in; a field that is no number keeps its margin.
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const auto which = static_cast<Field>(i);
        if (const std::optional<double> value = fieldValue(which, shownUnits_))
            marginOf(margins_, which) = *value;
    }
    showFields();
}

void MarginsPage::load(const PrintSetup& setup) {
    margins_ = setup.margins;
    {
        const QSignalBlocker block(units_);
        units_.setCurrentIndex(unitIndex(setup.margins.units));
    }
    showFields();
    mirrorMargins_.setChecked(setup.margins.mirrorMargins);
    lineNumbers_.setChecked(setup.options.lineNumbers);
    lineNumbersInMargin_.setChecked(setup.options.lineNumbersInMargin);
    syntaxPrint_.setChecked(setup.options.syntaxPrint);
    useColors_.setChecked(setup.options.useColors);
    wrapLines_.setChecked(setup.options.wrapLines);
}

QLineEdit* MarginsPage::store(PrintSetup& setup) {
    QLineEdit* failed = nullptr;
    setup.margins.units = selectedUnits();
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const auto which = static_cast<Field>(i);
        const std::optional<double> value = fieldValue(which, selectedUnits());
        if (!value) {
            failed = &fields_[i];
            break;
        }
        marginOf(setup.margins, which) = *value;
    }
    setup.margins.mirrorMargins = mirrorMargins_.isChecked();
    setup.options.lineNumbers = lineNumbers_.isChecked();
    setup.options.lineNumbersInMargin = lineNumbersInMargin_.isChecked();
    setup.options.syntaxPrint = syntaxPrint_.isChecked();
    setup.options.useColors = useColors_.isChecked();
    setup.options.wrapLines = wrapLines_.isChecked();
    return failed;
}

} // namespace novrix::shell
