#pragma once

#include <QString>
#include <QStringList>

#include "common/Shell.h"

// Records what it is asked to open and answers with a chosen result.
class FakeShell final : public kivora::Shell {
public:
    explicit FakeShell(int result = kOpened) : result_(result) {}

    int Open(const QString& target) override {
        targets.append(target);
        return result_;
    }

    QStringList targets;

private:
    int result_;
};
