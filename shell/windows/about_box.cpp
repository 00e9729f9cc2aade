#include "shell/windows/about_box.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace novrix::shell {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About NOVRIX"));
    setFixedSize(540, 310);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("<h2>NOVRIX</h2>"), this);
    title->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QStringLiteral("Version %1").arg(QLatin1String(kProgramVersion)), this);
    version->setObjectName(QStringLiteral("Version"));
    version->setAlignment(Qt::AlignCenter);
    auto* credits = new QLabel(
        QStringLiteral("Write, run and debug small measurement programs that drive laboratory instruments.\n\n"
                       "Built by the NOVRIX team with Qt and QScintilla.\n"
                       "Instrument buses, serial ports, Modbus, Telnet and TCP, data files and a console,\n"
                       "all from one Pascal script."),
        this);
    credits->setAlignment(Qt::AlignCenter);
    credits->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addWidget(credits, 1);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

} // namespace novrix::shell
