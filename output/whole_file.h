#pragma once
// A file written whole or not at all: its content goes to a temporary file beside it, which then
// replaces it in one step (rename), so a reader sees the old file or the whole new one, and a
// failure leaves the old file (or none) and nothing else.
#include <QString>
#include <functional>

// `write` fills the temporary file it is given and says whether it succeeded. Returns false when
// it did not or the file could not be put in place.
bool writeWhole(const QString& path, const std::function<bool(const QString& part)>& write);
