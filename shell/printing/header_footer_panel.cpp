#include "shell/printing/header_footer_panel.h"

#include "shell/printing/print_qt_conversions.h"
#include "shell/printing/rich_text_lines.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextDocument>
#include <QTextOption>
#include <QVBoxLayout>

namespace novrix::shell {

namespace {

constexpr std::array<HFAlignment, 3> kAlignments{HFAlignment::Left, HFAlignment::Center, HFAlignment::Right};

struct FieldInfo {
    const char* name;
    Qt::Alignment alignment;
};

constexpr std::array<FieldInfo, 3> kFieldInfo{{
    {"Left", Qt::AlignLeft},
    {"Center", Qt::AlignHCenter},
    {"Right", Qt::AlignRight},
}};

// Emptied, in the band's font, its lines aligned like the items it holds.
void resetField(QTextEdit& field, Qt::Alignment alignment, const FontSpec& font) {
    field.clear();
    QTextDocument& document = *field.document();
    QTextOption option = document.defaultTextOption();
    option.setAlignment(alignment);
    option.setWrapMode(QTextOption::NoWrap);
    document.setDefaultTextOption(option);
    document.setDefaultFont(toQFont(font));
    field.setCurrentCharFormat(toCharFormat(font));
}

} // namespace

HeaderFooterPanel::HeaderFooterPanel(Kind kind, QWidget* parent)
    : QGroupBox(kind == Kind::Header ? QStringLiteral("Header") : QStringLiteral("Footer"), parent) {
    setObjectName(kind == Kind::Header ? QStringLiteral("Header") : QStringLiteral("Footer"));
    line_.setText(kind == Kind::Header ? QStringLiteral("Line under") : QStringLiteral("Line above"));

    auto* texts = new QGridLayout;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        QTextEdit& field = fields_[i];
        field.setObjectName(QString::fromLatin1(kFieldInfo[i].name));
        field.setAcceptRichText(true);
        field.setLineWrapMode(QTextEdit::NoWrap);
        field.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        field.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        field.setTabChangesFocus(true);
        field.setFixedSize(190, 90);
        auto* label = new QLabel(QString::fromLatin1(kFieldInfo[i].name), this);
        label->setBuddy(&field);
        texts->addWidget(label, 0, static_cast<int>(i));
        texts->addWidget(&field, 1, static_cast<int>(i));
    }

    texts->setRowStretch(2, 1);

    auto* appearance = new QGridLayout(&appearance_);
    appearance->addWidget(&line_, 0, 0);
    appearance->addWidget(&box_, 1, 0);
    appearance->addWidget(&shadow_, 2, 0);
    appearance->addWidget(&lineColorButton_, 0, 1);
    appearance->addWidget(&lineColor_, 0, 2);
    appearance->addWidget(&shadowColorButton_, 1, 1);
    appearance->addWidget(&shadowColor_, 1, 2);

    auto* side = new QVBoxLayout;
    side->addWidget(&mirrorPosition_);
    side->addWidget(&appearance_);
    side->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(texts, 1);
    layout->addLayout(side);

    connect(&lineColorButton_, &QPushButton::clicked, this, [this] { chooseColor(lineColor_); });
    connect(&shadowColorButton_, &QPushButton::clicked, this, [this] { chooseColor(shadowColor_); });
}

void HeaderFooterPanel::chooseColor(ColorSample& sample) {
    if (const std::optional<QColor> chosen = colorChooser_(sample.color(), this))
        sample.setColor(*chosen);
}

void HeaderFooterPanel::load(const HeaderFooter& band) {
    defaultFont_ = band.defaultFont;
    for (std::size_t i = 0; i < fields_.size(); ++i)
        resetField(fields_[i], kFieldInfo[i].alignment, band.defaultFont);

    line_.setChecked(band.frame.line);
    box_.setChecked(band.frame.box);
    shadow_.setChecked(band.frame.shadow);
    lineColor_.setColor(toQColor(band.frame.lineColor));
    shadowColor_.setColor(toQColor(band.frame.shadowColor));
    mirrorPosition_.setChecked(band.mirrorPosition);

    std::array<int, 3> lineCounts{};
    for (const HeaderFooterItem& item : band.itemsByLine()) {
        const auto index = static_cast<std::size_t>(item.alignment);
        appendLine(fields_[index], item.text, item.font,
                   lineCounts[index] == 0 ? LinePlace::First : LinePlace::Next);
        ++lineCounts[index];
    }
    for (QTextEdit& field : fields_)
        field.moveCursor(QTextCursor::Start);
}

void HeaderFooterPanel::store(HeaderFooter& band) const {
    band.frame.line = line_.isChecked();
    band.frame.box = box_.isChecked();
    band.frame.shadow = shadow_.isChecked();
    band.frame.lineColor = toRgbColor(lineColor_.color());
    band.frame.shadowColor = toRgbColor(shadowColor_.color());
    band.mirrorPosition = mirrorPosition_.isChecked();

    band.items.clear();
    for (const HFAlignment alignment : kAlignments) {
        const std::vector<FieldLine> lines =
            fieldLines(fields_[static_cast<std::size_t>(alignment)], defaultFont_);
        for (std::size_t i = 0; i < lines.size(); ++i)
            band.add(lines[i].text, lines[i].font, alignment, static_cast<int>(i) + 1);
    }
}

} // namespace novrix::shell
