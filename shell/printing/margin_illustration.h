#pragma once
// The picture on the page set-up dialog's margins tab: a sheet with its header, text body and footer,
// the margins drawn as dashed lines.
#include <QWidget>

namespace novrix::shell {

class MarginIllustration : public QWidget {
    Q_OBJECT
public:
    explicit MarginIllustration(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {140, 190}; }

protected:
    void paintEvent(QPaintEvent*) override;
};

} // namespace novrix::shell
