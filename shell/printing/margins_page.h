#pragma once
// The "Margins && Options" tab of the page set-up dialog: the unit list `CBUnits`, the ten margin
// fields, "Mirror margins" and the five print options.
//
// The tab keeps its own margin set in millimetres. A field shows its margin in the current unit as the
// shortest general decimal text (15 significant digits, the locale's decimal separator); a field whose
// text was not edited stands for its exact margin, so switching units back and forth loses nothing.
#include "shell/printing/margin_illustration.h"
#include "shell/printing/print_setup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QWidget>
#include <array>
#include <optional>

namespace novrix::shell {

class MarginsPage : public QWidget {
    Q_OBJECT
public:
    // The margin fields in the order they are written back.
    enum class Field {
        Left,
        Right,
        Top,
        Bottom,
        Gutter,
        Header,
        Footer,
        LeftHFTextIndent,
        RightHFTextIndent,
        HFInternalMargin
    };
    static constexpr std::size_t kFieldCount = 10;

    explicit MarginsPage(QWidget* parent = nullptr);

    void load(const PrintSetup& setup);

    // Writes the unit, the margins, "Mirror margins" and the options into `setup`. Margins are taken in
    // write-back order up to the first field whose text is not a number; that field is returned and it
    // and the later margins are left as they were. nullptr when all fields were numbers.
    QLineEdit* store(PrintSetup& setup);

    QComboBox& unitList() { return units_; }
    QLineEdit& field(Field which) { return fields_[static_cast<std::size_t>(which)]; }
    QCheckBox& mirrorMargins() { return mirrorMargins_; }
    QCheckBox& lineNumbers() { return lineNumbers_; }
    QCheckBox& lineNumbersInMargin() { return lineNumbersInMargin_; }
    QCheckBox& syntaxPrint() { return syntaxPrint_; }
    QCheckBox& useColors() { return useColors_; }
    QCheckBox& wrapLines() { return wrapLines_; }

private:
    MarginUnits selectedUnits() const;
    void unitsChanged();
    void showFields();
    // The field's value in millimetres: the kept margin while its text is the one shown, else the
    // text parsed in `units`; nothing when that text is not a number.
    std::optional<double> fieldValue(Field which, MarginUnits units) const;
    QString formatted(double millimetres, MarginUnits units) const;

    static double& marginOf(PageMargins& margins, Field which);
    static double marginValue(const PageMargins& margins, Field which);

    QLocale locale_;
    QComboBox units_;
    std::array<QLineEdit, kFieldCount> fields_;
    QCheckBox mirrorMargins_{QStringLiteral("Mirror margins")};
    QCheckBox lineNumbers_{QStringLiteral("Line numbers")};
    QCheckBox lineNumbersInMargin_{QStringLiteral("Print line numbers in margin")};
    QCheckBox syntaxPrint_{QStringLiteral("Syntax print")};
    QCheckBox useColors_{QStringLiteral("Use colors")};
    QCheckBox wrapLines_{QStringLiteral("Wrap lines")};
    MarginIllustration illustration_;

    PageMargins margins_;
    MarginUnits shownUnits_ = MarginUnits::Millimetres;
    std::array<QString, kFieldCount> shownTexts_;
};

} // namespace novrix::shell
