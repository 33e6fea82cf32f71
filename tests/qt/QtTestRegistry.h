#pragma once
// Lets several QtTest classes live in one binary: each file registers its class.
#include <QObject>
#include <functional>
#include <vector>

namespace quillet::testing {

using Factory = std::function<QObject*()>;
std::vector<Factory>& registry();

template <class T>
struct Register {
    Register() {
        registry().push_back([] { return new T; });
    }
};

}  // namespace quillet::testing

#define QUILLET_QTEST(Class) static quillet::testing::Register<Class> register_##Class;
