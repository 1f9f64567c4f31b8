#pragma once

#include <QStringList>

#include "common/Shell.h"

namespace kivora::test {

// Records what it is asked to open and answers with `result`.
struct FakeShell final : Shell {
    explicit FakeShell(int answer = kOpened) : result(answer) {}
    int Open(const QString& target) override { return targets.append(target), result; }
    int result;
    QStringList targets;
};

} // namespace kivora::test
