#pragma once
// One band (header or footer) on the "Header && Footer" tab: the rich-text fields Left, Center and
// Right, "Mirror position", and the "Appearance" group with the frame check boxes and the line and
// shadow colours.
//
// Loading puts the items, sorted by line, one per line into the field of their alignment, each line in
// its item's font; an item's line number is not kept. Storing makes one item of every line of every
// field, numbered by its line in the field, with the font of that line's text.
#include "shell/printing/choosers.h"
#include "shell/printing/color_sample.h"
#include "shell/printing/print_setup.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTextEdit>
#include <array>

namespace novrix::shell {

class HeaderFooterPanel : public QGroupBox {
    Q_OBJECT
public:
    enum class Kind { Header, Footer };

    HeaderFooterPanel(Kind kind, QWidget* parent = nullptr);

    void load(const HeaderFooter& band);
    void store(HeaderFooter& band) const;

    void setColorChooser(ColorChooser chooser) { colorChooser_ = std::move(chooser); }

    QTextEdit& field(HFAlignment alignment) { return fields_[static_cast<std::size_t>(alignment)]; }
    const std::array<QTextEdit, 3>& fields() const { return fields_; }
    QCheckBox& mirrorPosition() { return mirrorPosition_; }
    QCheckBox& line() { return line_; }
    QCheckBox& box() { return box_; }
    QCheckBox& shadow() { return shadow_; }
    QPushButton& lineColorButton() { return lineColorButton_; }
    QPushButton& shadowColorButton() { return shadowColorButton_; }
    ColorSample& lineColor() { return lineColor_; }
    ColorSample& shadowColor() { return shadowColor_; }

private:
    void chooseColor(ColorSample& sample);

    std::array<QTextEdit, 3> fields_; // by HFAlignment: Left, Center, Right
    QCheckBox mirrorPosition_{QStringLiteral("Mirror position")};
    QGroupBox appearance_{QStringLiteral("Appearance")};
    QCheckBox line_;
    QCheckBox box_{QStringLiteral("Box")};
    QCheckBox shadow_{QStringLiteral("Shadow")};
    QPushButton lineColorButton_{QStringLiteral("Line color")};
    QPushButton shadowColorButton_{QStringLiteral("Shadow color")};
    ColorSample lineColor_;
    ColorSample shadowColor_;
    FontSpec defaultFont_;
    ColorChooser colorChooser_ = systemColorChooser();
};

} // namespace novrix::shell
