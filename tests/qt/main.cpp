#include <QApplication>
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
    QApplication app(argc, argv);
    int failures = 0;
    for (const auto& make : quillet::testing::registry()) {
        std::unique_ptr<QObject> test(make());
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
