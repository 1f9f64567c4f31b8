#pragma once

#include <QString>

namespace kivora {

// One CSV field: quoted, with inner quotes doubled, when it holds a comma, a quote or a line
// break; otherwise as it is.
QString CsvField(const QString& text);

} // namespace kivora
