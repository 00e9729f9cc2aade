#pragma once
// The small colour sample beside a colour button: a rectangle filled with the colour, outlined dotted.
#include <QColor>
#include <QWidget>

namespace novrix::shell {

class ColorSample : public QWidget {
    Q_OBJECT
public:
    explicit ColorSample(QWidget* parent = nullptr);

    QColor color() const { return color_; }
    void setColor(const QColor& color);
    QSize sizeHint() const override { return {24, 16}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor color_ = Qt::black;
};

} // namespace novrix::shell
