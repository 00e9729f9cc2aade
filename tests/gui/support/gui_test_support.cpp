#include "support/gui_test_support.h"

#include <QDir>
#include <QtGlobal>

namespace novrix::guitest {

QString freshHome() {
    QString home = qEnvironmentVariable("NOVRIX_HOME");
    if (home.isEmpty()) home = QDir::temp().filePath("novrix-gui-test-home");
    QDir dir(home);
    dir.removeRecursively();
    QDir().mkpath(home);
    return home;
}

} // namespace novrix::guitest
