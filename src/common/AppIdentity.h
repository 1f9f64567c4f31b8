#pragma once

#include <QString>

namespace kivora {

// "Lotto Kivora 2.6": the title, a blank and the version, built once from the build's numbers.
const QString& TitleVersion();
// "Lotto Kivora"
QString AppTitle();
// "Brandell"
QString AppMaker();

} // namespace kivora
