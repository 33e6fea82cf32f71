#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "QtTestRegistry.h"

namespace quillet::testing {
std::vector<Factory>& registry() {
    static std::vector<Factory> r;
    return r;
}
}  // namespace quillet::testing

int main(int argc, char** argv) {
    // The tests never read or write the user's own configuration: the desktop's configuration
    // folder is a temporary one, and each program under test keeps its profile in its home.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("QUILLET_HOME", QFile::encodeName(config.filePath(QStringLiteral("home"))));
    QApplication app(argc, argv);
    int failures = 0;
    for (const auto& make : quillet::testing::registry()) {
        std::unique_ptr<QObject> test(make());
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
